<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QAutoLogConfig</name>
    <message>
        <source>Log Config</source>
        <translation>Log Config</translation>
    </message>
    <message>
        <source>Point-in-time</source>
        <translation>Point-in-time</translation>
    </message>
    <message>
        <source>Time Period</source>
        <translation>Time Period</translation>
    </message>
    <message>
        <source>Normal Mode [Cycle Recording is Invalid in this mode]</source>
        <translation>Normal Mode [Cycle Recording is Invalid in this mode]</translation>
    </message>
    <message>
        <source>cycle recording</source>
        <translation>cycle recording</translation>
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
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Time Must Be Later Than Current Time !</source>
        <translation>Time Must Be Later Than Current Time !</translation>
    </message>
    <message>
        <source>Time Period Must &gt; 0 !</source>
        <translation>Time Period Must &gt; 0 !</translation>
    </message>
</context>
<context>
    <name>QAutoLogList</name>
    <message>
        <source>Computer</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>EVK</source>
        <translation>EVK</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenna</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>Base</translation>
    </message>
    <message>
        <source>version</source>
        <translation>version</translation>
    </message>
    <message>
        <source>M-Ant Link Chain</source>
        <translation>M-Ant Link Chain</translation>
    </message>
    <message>
        <source>S-Ant Link Chain</source>
        <translation>S-Ant Link Chain</translation>
    </message>
    <message>
        <source>ProductID</source>
        <translation>ProductID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>Log Status</source>
        <translation>Log Status</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Auto Log</source>
        <translation>Auto Log</translation>
    </message>
    <message>
        <source>Auto Reconnect</source>
        <translation>Auto Reconnect</translation>
    </message>
    <message>
        <source>The board list cannot be saved in %1: it would be larger than %2 KB</source>
        <translation>The board list cannot be saved in %1: it would be larger than %2 KB</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Save Item Info</source>
        <translation>Save Item Info</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Unlog</source>
        <translation>Unlog</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>Path Input</translation>
    </message>
    <message>
        <source>Please input Log Path</source>
        <translation>Please input Log Path</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The input is not the path!</source>
        <translation>The input is not the path!</translation>
    </message>
    <message>
        <source>The log path cannot be saved in %1</source>
        <translation>The log path cannot be saved in %1</translation>
    </message>
    <message>
        <source>The board list cannot be saved in %1</source>
        <translation>The board list cannot be saved in %1</translation>
    </message>
    <message>
        <source>The board list %1 is not used: %2.</source>
        <translation>The board list %1 is not used: %2.</translation>
    </message>
    <message>
        <source>The log folder cannot be made under %1</source>
        <translation>The log folder cannot be made under %1</translation>
    </message>
    <message>
        <source>%1: all %2 log file names of %3 are used in %4; the port keeps its current file.</source>
        <translation>%1: all %2 log file names of %3 are used in %4; the port keeps its current file.</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Logging</translation>
    </message>
    <message>
        <source>Normal Log Mode</source>
        <translation>Normal Log Mode</translation>
    </message>
    <message>
        <source>UnLog</source>
        <translation>UnLog</translation>
    </message>
</context>
</TS>
