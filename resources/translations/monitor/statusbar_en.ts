<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QZvStatusBar</name>
    <message>
        <source>%1 Byte</source>
        <translation>%1 Byte</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Auto Detection</source>
        <translation>Auto Detection</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>%1:%2 detected</source>
        <translation>%1:%2 detected</translation>
    </message>
    <message>
        <source>double click or Ctrl + H to switch</source>
        <translation>double click or Ctrl + H to switch</translation>
    </message>
    <message>
        <source>Reload receiver information</source>
        <translation>Reload receiver information</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Logging</translation>
    </message>
    <message>
        <source>click to explore</source>
        <translation>click to explore</translation>
    </message>
    <message>
        <source>NA</source>
        <translation>NA</translation>
    </message>
    <message>
        <source>Click here to recheck IP first<byte value="xd" />
,else please check ethernet connection<byte value="xd" />
Check if router works</source>
        <translation>Click here to recheck IP first<byte value="xd" />
,else please check ethernet connection<byte value="xd" />
Check if router works</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
</context>
</TS>