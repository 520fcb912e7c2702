<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QFMsgConfig</name>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>%1Sec</source>
        <translation>%1Sec</translation>
    </message>
    <message>
        <source>%1Min</source>
        <translation>%1Min</translation>
    </message>
    <message>
        <source>PosMsg</source>
        <translation>PosMsg</translation>
    </message>
    <message>
        <source>OBS</source>
        <translation>OBS</translation>
    </message>
    <message>
        <source>pos</source>
        <translation>pos</translation>
    </message>
    <message>
        <source>type</source>
        <translation>type</translation>
    </message>
    <message>
        <source>Msg Configure</source>
        <translation>Msg Configure</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>SelectAll</translation>
    </message>
    <message>
        <source>Saveconfig</source>
        <translation>Saveconfig</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>The port of this receiver is not open: nothing was sent.</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>The receiver&apos;s list of logs has not been read yet: nothing was sent. Open the window again to ask the receiver for it.</source>
        <translation>The receiver&apos;s list of logs has not been read yet: nothing was sent. Open the window again to ask the receiver for it.</translation>
    </message>
</context>
</TS>
