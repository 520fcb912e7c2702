<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QLoglistDiag</name>
    <message>
        <source>Loglist Check</source>
        <translation>Loglist Check</translation>
    </message>
    <message>
        <source> Refresh</source>
        <translation> Refresh</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>Msg</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Period</source>
        <translation>Period</translation>
    </message>
</context>
</TS>
