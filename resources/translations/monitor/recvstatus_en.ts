<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QZvRecvStatusDiag</name>
    <message>
        <source>UTC Time</source>
        <translation>UTC Time</translation>
    </message>
    <message>
        <source>Board Type:</source>
        <translation>Board Type:</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>Firmware Version:</translation>
    </message>
    <message>
        <source>Solution:</source>
        <translation>Solution:</translation>
    </message>
    <message>
        <source>Lon:</source>
        <translation>Lon:</translation>
    </message>
    <message>
        <source>Lat:</source>
        <translation>Lat:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Orthometric Height</source>
        <translation>Orthometric Height</translation>
    </message>
    <message>
        <source>DiffAge:</source>
        <translation>DiffAge:</translation>
    </message>
    <message>
        <source>Base ID :</source>
        <translation>Base ID :</translation>
    </message>
    <message>
        <source>Velocity:</source>
        <translation>Velocity:</translation>
    </message>
    <message>
        <source>Satellite:</source>
        <translation>Satellite:</translation>
    </message>
    <message>
        <source>INSUFFICIENT </source>
        <translation>INSUFFICIENT </translation>
    </message>
    <message>
        <source>SINGLE</source>
        <translation>SINGLE</translation>
    </message>
    <message>
        <source>PSR_DIFF</source>
        <translation>PSR_DIFF</translation>
    </message>
    <message>
        <source>NARROW_INT</source>
        <translation>NARROW_INT</translation>
    </message>
    <message>
        <source>NARROW_FLOAT</source>
        <translation>NARROW_FLOAT</translation>
    </message>
    <message>
        <source>Fixed Position</source>
        <translation>Fixed Position</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>Degree </translation>
    </message>
    <message>
        <source>[m]</source>
        <translation>[m]</translation>
    </message>
    <message>
        <source>[m/s]</source>
        <translation>[m/s]</translation>
    </message>
</context>
<context>
    <name>QZvRecvStatusDialog</name>
    <message>
        <source>Receiver Status</source>
        <translation>Receiver Status</translation>
    </message>
</context>
</TS>
