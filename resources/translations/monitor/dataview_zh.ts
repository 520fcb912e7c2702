<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CZvTxtBrowser</name>
    <message>
        <source>%1 bytes not shown</source>
        <translation>%1 字节未显示</translation>
    </message>
    <message>
        <source>BaudRate Err</source>
        <translation>波特率错误</translation>
    </message>
    <message>
        <source> Baud rate mismatch<byte value="xd"/>
Determine to switch baud rate to </source>
        <translation> 波特率不匹配<byte value="xd"/>
确定将波特率切换为 </translation>
    </message>
    <message>
        <source>Wrap line</source>
        <translation>自动换行</translation>
    </message>
    <message>
        <source>No wrap line</source>
        <translation>不换行</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续显示</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停显示</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Copy All</source>
        <translation>全部复制</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>Stop Record</source>
        <translation>停止记录</translation>
    </message>
    <message>
        <source>Unlog screen</source>
        <translation>停止屏幕记录</translation>
    </message>
    <message>
        <source>Set log screen path</source>
        <translation>设置屏幕记录文件</translation>
    </message>
    <message>
        <source>Unlog</source>
        <translation>停止记录文件</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>记录到文件</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>解锁</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>锁定</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Session Option</source>
        <translation>连接选项</translation>
    </message>
    <message>
        <source>Display Mode</source>
        <translation>显示模式</translation>
    </message>
    <message>
        <source>AutoDetection</source>
        <translation>自动检测</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>Bin2ASC</source>
        <translation>二进制转文本</translation>
    </message>
    <message>
        <source>Ref Pos Msg</source>
        <translation>参考位置消息</translation>
    </message>
    <message>
        <source>Redirect</source>
        <translation>转发到端口</translation>
    </message>
    <message>
        <source>Log screen file config</source>
        <translation>屏幕记录文件设置</translation>
    </message>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>记录文件 (*.log *.bin *.txt);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>文件已存在</translation>
    </message>
    <message>
        <source>Do you wish to replace</source>
        <translation>是否替换该文件</translation>
    </message>
    <message>
        <source>Script File</source>
        <translation>脚本文件</translation>
    </message>
    <message>
        <source>py(*.py);;Any files(*.*)</source>
        <translation>Python 脚本(*.py);;所有文件(*.*)</translation>
    </message>
</context>
<context>
    <name>MsgFiterDiag</name>
    <message>
        <source>Msg filtering</source>
        <translation>消息过滤</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>文本：</translation>
    </message>
    <message>
        <source>Ignore Case</source>
        <translation>忽略大小写</translation>
    </message>
    <message>
        <source>Filter Tail</source>
        <translation>暂存匹配</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>Time Stamp</source>
        <translation>时间戳</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文本</translation>
    </message>
</context>
<context>
    <name>QScriptProcess</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
