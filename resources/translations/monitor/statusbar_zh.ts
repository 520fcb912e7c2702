<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QZvStatusBar</name>
    <message>
        <source>%1 Byte</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP 地址</translation>
    </message>
    <message>
        <source>Auto Detection</source>
        <translation>自动检测</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>%1:%2 detected</source>
        <translation>%1：检测到 %2</translation>
    </message>
    <message>
        <source>double click or Ctrl + H to switch</source>
        <translation>双击或按 Ctrl + H 切换</translation>
    </message>
    <message>
        <source>Reload receiver information</source>
        <translation>重新读取接收机信息</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>正在记录</translation>
    </message>
    <message>
        <source>click to explore</source>
        <translation>点击访问接收机网页</translation>
    </message>
    <message>
        <source>NA</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Click here to recheck IP first<byte value="xd" />
,else please check ethernet connection<byte value="xd" />
Check if router works</source>
        <translation>请先点击此处重新检测 IP<byte value="xd" />
，否则请检查以太网连接<byte value="xd" />
并检查路由器是否正常工作</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
</context>
</TS>