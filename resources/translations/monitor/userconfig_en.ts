<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QUserconfigDiag</name>
    <message>
        <source>Userconfig</source>
        <translation>Userconfig</translation>
    </message>
    <message>
        <source>Reference Station Status</source>
        <translation>Reference Station Status</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Baseid:</source>
        <translation>Baseid:</translation>
    </message>
    <message>
        <source>Posave:</source>
        <translation>Posave:</translation>
    </message>
    <message>
        <source>Fix:</source>
        <translation>Fix:</translation>
    </message>
    <message>
        <source>Longitude:</source>
        <translation>Longitude:</translation>
    </message>
    <message>
        <source>latitude</source>
        <translation>latitude</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>Msg</translation>
    </message>
    <message>
        <source>The reference file %1 cannot be read (%2), so there is nothing to compare the receiver's lines with.</source>
        <translation>The reference file %1 cannot be read (%2), so there is nothing to compare the receiver's lines with.</translation>
    </message>
    <message>
        <source>Only the receiver reports this line.</source>
        <translation>Only the receiver reports this line.</translation>
    </message>
    <message>
        <source>Only the reference file holds this line.</source>
        <translation>Only the reference file holds this line.</translation>
    </message>
</context>
</TS>
