<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QtCentral</name>
    <message>
        <source>Command Window</source>
        <translation>Command Window</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>Receiver Status</translation>
    </message>
    <message>
        <source>Debug Window</source>
        <translation>Debug Window</translation>
    </message>
    <message>
        <source>Map Window</source>
        <translation>Map Window</translation>
    </message>
    <message>
        <source>Msg Filter</source>
        <translation>Msg Filter</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>Range Parser</translation>
    </message>
    <message>
        <source>CN0 View</source>
        <translation>CN0 View</translation>
    </message>
    <message>
        <source>Sky Plot</source>
        <translation>Sky Plot</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>Track Plot</translation>
    </message>
    <message>
        <source>INS status</source>
        <translation>INS status</translation>
    </message>
    <message>
        <source>Height Plot</source>
        <translation>Height Plot</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The docking layout cannot be read from %1: %2. The default layout is used, and the file is left as it is.</source>
        <translation>The docking layout cannot be read from %1: %2. The default layout is used, and the file is left as it is.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
</TS>