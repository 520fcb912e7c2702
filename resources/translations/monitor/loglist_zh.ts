<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QLoglistDiag</name>
    <message>
        <source>Loglist Check</source>
        <translation>日志列表查看</translation>
    </message>
    <message>
        <source> Refresh</source>
        <translation> 刷新</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>触发方式</translation>
    </message>
    <message>
        <source>Period</source>
        <translation>周期</translation>
    </message>
</context>
</TS>
