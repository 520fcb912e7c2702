<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QRegressionDiag</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>SelectAll</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>Config</translation>
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
        <source>LogPath</source>
        <translation>LogPath</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>Port Name</source>
        <translation>Port Name</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>Freset</translation>
    </message>
    <message>
        <source>Reacq</source>
        <translation>Reacq</translation>
    </message>
    <message>
        <source>SerialUpdate</source>
        <translation>SerialUpdate</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>Base</translation>
    </message>
    <message>
        <source>BoardID</source>
        <translation>BoardID</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>RelayPort</source>
        <translation>RelayPort</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Aisle</source>
        <translation>Aisle</translation>
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
        <source>The log path cannot be kept in %1: it will be asked for again.</source>
        <translation>The log path cannot be kept in %1: it will be asked for again.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>These boards were not started:</source>
        <translation>These boards were not started:</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a whole number of cycles</source>
        <translation>%1 &quot;%2&quot; is not a whole number of cycles</translation>
    </message>
    <message>
        <source>Reacq &quot;%1&quot; is not a number of hours</source>
        <translation>Reacq &quot;%1&quot; is not a number of hours</translation>
    </message>
    <message>
        <source>SerialUpdate &quot;%1&quot; is not an image list and baud rates</source>
        <translation>SerialUpdate &quot;%1&quot; is not an image list and baud rates</translation>
    </message>
    <message>
        <source>the image list %1 cannot be read: %2</source>
        <translation>the image list %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>the command file %1 cannot be read: %2</source>
        <translation>the command file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>Hz &quot;%1&quot; is not a whole number</source>
        <translation>Hz &quot;%1&quot; is not a whole number</translation>
    </message>
    <message>
        <source>the relay address &quot;%1&quot; is not a whole number from %2 to %3</source>
        <translation>the relay address &quot;%1&quot; is not a whole number from %2 to %3</translation>
    </message>
    <message>
        <source>the relay channel &quot;%1&quot; is not a whole number from 1 to %2</source>
        <translation>the relay channel &quot;%1&quot; is not a whole number from 1 to %2</translation>
    </message>
    <message>
        <source>the relay port %1 is not open</source>
        <translation>the relay port %1 is not open</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>finished</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>not started: its port has no tab</source>
        <translation>not started: its port has no tab</translation>
    </message>
    <message>
        <source>ended: its port was closed</source>
        <translation>ended: its port was closed</translation>
    </message>
    <message>
        <source>running</source>
        <translation>running</translation>
    </message>
    <message>
        <source>%1 of %2 cycles passed</source>
        <translation>%1 of %2 cycles passed</translation>
    </message>
    <message>
        <source>%1 of %2 cycles reacquired</source>
        <translation>%1 of %2 cycles reacquired</translation>
    </message>
    <message>
        <source>%1 of %2 upgrades completed</source>
        <translation>%1 of %2 upgrades completed</translation>
    </message>
    <message>
        <source>%1 of %2 commands sent</source>
        <translation>%1 of %2 commands sent</translation>
    </message>
    <message>
        <source>its value cannot be used</source>
        <translation>its value cannot be used</translation>
    </message>
    <message>
        <source>no log file can be made under %1</source>
        <translation>no log file can be made under %1</translation>
    </message>
    <message>
        <source>its file cannot be read</source>
        <translation>its file cannot be read</translation>
    </message>
    <message>
        <source>no start-up banner after the reset</source>
        <translation>no start-up banner after the reset</translation>
    </message>
    <message>
        <source>no RTK fixed position after the reset</source>
        <translation>no RTK fixed position after the reset</translation>
    </message>
    <message>
        <source>no start-up banner after the factory reset</source>
        <translation>no start-up banner after the factory reset</translation>
    </message>
    <message>
        <source>no RTK fixed position after the RF came back</source>
        <translation>no RTK fixed position after the RF came back</translation>
    </message>
    <message>
        <source>the upgrade failed</source>
        <translation>the upgrade failed</translation>
    </message>
    <message>
        <source>the upgrade did not end in time</source>
        <translation>the upgrade did not end in time</translation>
    </message>
    <message>
        <source>no relay channel to power-cycle the board</source>
        <translation>no relay channel to power-cycle the board</translation>
    </message>
    <message>
        <source>the relay port %1 is not open: the board was not power-cycled</source>
        <translation>the relay port %1 is not open: the board was not power-cycled</translation>
    </message>
    <message>
        <source>cycle %1: %2</source>
        <translation>cycle %1: %2</translation>
    </message>
    <message>
        <source>%1 more</source>
        <translation>%1 more</translation>
    </message>
    <message>
        <source>power-cycled through relay port %1 %2 times</source>
        <translation>power-cycled through relay port %1 %2 times</translation>
    </message>
    <message>
        <source>Relay channels power-cycled: %1</source>
        <translation>Relay channels power-cycled: %1</translation>
    </message>
    <message>
        <source>End of test</source>
        <translation>End of test</translation>
    </message>
</context>
<context>
    <name>QRegressionConfig</name>
    <message>
        <source>Reset Cycle Index is Empty!!</source>
        <translation>Reset cycle count is empty!</translation>
    </message>
    <message>
        <source>Freset Cycle Index is Empty!!</source>
        <translation>Factory reset cycle count is empty!</translation>
    </message>
    <message>
        <source>Reacq Cycle Index is Empty!!</source>
        <translation>Reacquisition cycle count is empty!</translation>
    </message>
    <message>
        <source>Serial update Path is Empty!!</source>
        <translation>Serial update path is empty!</translation>
    </message>
    <message>
        <source>Serial update BaudRate is Empty!!</source>
        <translation>Serial update baud rate is empty!</translation>
    </message>
    <message>
        <source>Command File Path is Empty!!</source>
        <translation>Command file path is empty!</translation>
    </message>
    <message>
        <source>Regression Config</source>
        <translation>Regression Config</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>Freset</translation>
    </message>
    <message>
        <source>Reacq</source>
        <translation>Reacq</translation>
    </message>
    <message>
        <source>SerialUpdate</source>
        <translation>SerialUpdate</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>CycleIndex</source>
        <translation>CycleIndex</translation>
    </message>
    <message>
        <source>Hours; only whole hours count</source>
        <translation>Hours; only whole hours count</translation>
    </message>
    <message>
        <source>ImagePath:</source>
        <translation>ImagePath:</translation>
    </message>
    <message>
        <source>BaudRate:</source>
        <translation>BaudRate:</translation>
    </message>
    <message>
        <source>FilePath:</source>
        <translation>FilePath:</translation>
    </message>
    <message>
        <source>OpenImagePath</source>
        <translation>OpenImagePath</translation>
    </message>
    <message>
        <source>SelectBaudRate</source>
        <translation>SelectBaudRate</translation>
    </message>
    <message>
        <source>OpenFilePath</source>
        <translation>OpenFilePath</translation>
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
        <source>Reset Cycle Index is Empty!!&#xd;
</source>
        <translation>Reset Cycle Index is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Freset Cycle Index is Empty!!&#xd;
</source>
        <translation>Freset Cycle Index is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Reacq Cycle Index is Empty!!&#xd;
</source>
        <translation>Reacq Cycle Index is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Serial update Path is Empty!!&#xd;
</source>
        <translation>Serial update Path is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Serial update BaudRate is Empty!!&#xd;
</source>
        <translation>Serial update BaudRate is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Command File Path is Empty!!&#xd;
</source>
        <translation>Command File Path is Empty!!&#xd;
</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Command File</source>
        <translation>Command File</translation>
    </message>
    <message>
        <source>Image Store Path</source>
        <translation>Image Store Path</translation>
    </message>
</context>
<context>
    <name>QSelectBaudRateDiag</name>
    <message>
        <source>Select BaudRate</source>
        <translation>Select BaudRate</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>SelectAll</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
