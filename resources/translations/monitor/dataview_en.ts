<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CZvTxtBrowser</name>
    <message>
        <source>%1 bytes not shown</source>
        <translation>%1 bytes not shown</translation>
    </message>
    <message>
        <source>BaudRate Err</source>
        <translation>BaudRate Err</translation>
    </message>
    <message>
        <source> Baud rate mismatch<byte value="xd"/>
Determine to switch baud rate to </source>
        <translation> Baud rate mismatch<byte value="xd"/>
Determine to switch baud rate to </translation>
    </message>
    <message>
        <source>Wrap line</source>
        <translation>Wrap line</translation>
    </message>
    <message>
        <source>No wrap line</source>
        <translation>No wrap line</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Copy All</source>
        <translation>Copy All</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Stop Record</source>
        <translation>Stop Record</translation>
    </message>
    <message>
        <source>Unlog screen</source>
        <translation>Unlog screen</translation>
    </message>
    <message>
        <source>Set log screen path</source>
        <translation>Set log screen path</translation>
    </message>
    <message>
        <source>Unlog</source>
        <translation>Unlog</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Session Option</source>
        <translation>Session Option</translation>
    </message>
    <message>
        <source>Display Mode</source>
        <translation>Display Mode</translation>
    </message>
    <message>
        <source>AutoDetection</source>
        <translation>AutoDetection</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Bin2ASC</source>
        <translation>Bin2ASC</translation>
    </message>
    <message>
        <source>Ref Pos Msg</source>
        <translation>Ref Pos Msg</translation>
    </message>
    <message>
        <source>Redirect</source>
        <translation>Redirect</translation>
    </message>
    <message>
        <source>Log screen file config</source>
        <translation>Log screen file config</translation>
    </message>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>Logs (*.log *.bin *.txt);;Any files(*.*)</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>File exists</translation>
    </message>
    <message>
        <source>Do you wish to replace</source>
        <translation>Do you wish to replace</translation>
    </message>
    <message>
        <source>Script File</source>
        <translation>Script File</translation>
    </message>
    <message>
        <source>py(*.py);;Any files(*.*)</source>
        <translation>py(*.py);;Any files(*.*)</translation>
    </message>
</context>
<context>
    <name>MsgFiterDiag</name>
    <message>
        <source>Msg filtering</source>
        <translation>Msg filtering</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>Ignore Case</source>
        <translation>Ignore Case</translation>
    </message>
    <message>
        <source>Filter Tail</source>
        <translation>Filter Tail</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Time Stamp</source>
        <translation>Time Stamp</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>QScriptProcess</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
</TS>
