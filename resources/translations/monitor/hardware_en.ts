<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QHardwareDiag</name>
    <message>
        <source>Port Name</source>
        <translation>Port Name</translation>
    </message>
    <message>
        <source>ImagePath</source>
        <translation>ImagePath</translation>
    </message>
    <message>
        <source>WaitTime</source>
        <translation>WaitTime</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>Passed</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>Not found Porttab</source>
        <translation>Not found Porttab</translation>
    </message>
    <message>
        <source>Firmware upgrade failed</source>
        <translation>Firmware upgrade failed</translation>
    </message>
    <message>
        <source>Firmware upgrade timed out</source>
        <translation>Firmware upgrade timed out</translation>
    </message>
    <message>
        <source>No version reply after the upgrade</source>
        <translation>No version reply after the upgrade</translation>
    </message>
    <message>
        <source>Firmware check failed</source>
        <translation>Firmware check failed</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>No answer to the version query: not upgraded</source>
        <translation>No answer to the version query: not upgraded</translation>
    </message>
    <message>
        <source>No log file name free</source>
        <translation>No log file name free</translation>
    </message>
    <message>
        <source>Hardware Test</source>
        <translation>Hardware Test</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>SelectAll</translation>
    </message>
    <message>
        <source>LogPath</source>
        <translation>LogPath</translation>
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
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Open ImageStorPath File fail!</source>
        <translation>Open ImageStorPath File fail!</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>Path Input</translation>
    </message>
    <message>
        <source>Please input Image Path</source>
        <translation>Please input Image Path</translation>
    </message>
    <message>
        <source>Please input Log Path</source>
        <translation>Please input Log Path</translation>
    </message>
    <message>
        <source>You did not enter a file name</source>
        <translation>You did not enter a file name</translation>
    </message>
    <message>
        <source>The path cannot be saved in %1</source>
        <translation>The path cannot be saved in %1</translation>
    </message>
    <message>
        <source> Please input the board image path</source>
        <translation> Please input the board image path</translation>
    </message>
    <message>
        <source> Please input the board log time</source>
        <translation> Please input the board log time</translation>
    </message>
    <message>
        <source>The image file does not exist: %1</source>
        <translation>The image file does not exist: %1</translation>
    </message>
    <message>
        <source>Board card recording data is completed</source>
        <translation>Board card recording data is completed</translation>
    </message>
    <message>
        <source>Failed:</source>
        <translation>Failed:</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Complete</translation>
    </message>
</context>
</TS>
