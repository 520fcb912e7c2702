<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QFMsgConfig</name>
    <message>
        <source>Off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>%1Sec</source>
        <translation>%1秒</translation>
    </message>
    <message>
        <source>%1Min</source>
        <translation>%1分钟</translation>
    </message>
    <message>
        <source>PosMsg</source>
        <translation>定位消息</translation>
    </message>
    <message>
        <source>OBS</source>
        <translation>观测值</translation>
    </message>
    <message>
        <source>pos</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Msg Configure</source>
        <translation>消息配置</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Saveconfig</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>该接收机的端口未打开：未发送任何内容。</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>The receiver&apos;s list of logs has not been read yet: nothing was sent. Open the window again to ask the receiver for it.</source>
        <translation>尚未读取接收机的日志列表：未发送任何内容。请重新打开该窗口以向接收机查询。</translation>
    </message>
</context>
</TS>
