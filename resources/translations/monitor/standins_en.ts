<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>CStandInWindow</name>
    <message>
        <source>This window is not built yet.</source>
        <translation>This window is not built yet.</translation>
    </message>
    <message>
        <source>Map Window</source>
        <translation>Map Window</translation>
    </message>
    <message>
        <source>Sky Plot</source>
        <translation>Sky Plot</translation>
    </message>
    <message>
        <source>CN0 View</source>
        <translation>CN0 View</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>Track Plot</translation>
    </message>
    <message>
        <source>Height Plot</source>
        <translation>Height Plot</translation>
    </message>
    <message>
        <source>INS status</source>
        <translation>INS status</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>Range Parser</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Highlight</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>Receiver Status</translation>
    </message>
    <message>
        <source>Satellite Lock-out</source>
        <translation>Satellite Lock-out</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>Freset</translation>
    </message>
    <message>
        <source>Userconfig</source>
        <translation>Userconfig</translation>
    </message>
    <message>
        <source>Loglist Check</source>
        <translation>Loglist Check</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>Configure Check</translation>
    </message>
    <message>
        <source>INS Config Check</source>
        <translation>INS Config Check</translation>
    </message>
    <message>
        <source>NVM Log</source>
        <translation>NVM Log</translation>
    </message>
    <message>
        <source>Medium Freq</source>
        <translation>Medium Freq</translation>
    </message>
    <message>
        <source>AutoLog</source>
        <translation>AutoLog</translation>
    </message>
    <message>
        <source>Regression</source>
        <translation>Regression</translation>
    </message>
    <message>
        <source>Hardware Test</source>
        <translation>Hardware Test</translation>
    </message>
    <message>
        <source>Product Mode</source>
        <translation>Product Mode</translation>
    </message>
</context>
</TS>
