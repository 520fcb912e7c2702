<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QProductModeDiag</name>
    <message>
        <source>PortName</source>
        <translation>PortName</translation>
    </message>
    <message>
        <source>BoardIp</source>
        <translation>BoardIp</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Product Mode</source>
        <translation>Product Mode</translation>
    </message>
    <message>
        <source>IP Segment:</source>
        <translation>IP Segment:</translation>
    </message>
    <message>
        <source>Image Path:</source>
        <translation>Image Path:</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Open Image</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation>Refresh list</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>Image File</source>
        <translation>Image File</translation>
    </message>
    <message>
        <source>image (*.img);;Any files(*.*)</source>
        <translation>image (*.img);;Any files(*.*)</translation>
    </message>
    <message>
        <source>the IP segment %1 is not four numbers from 0 to 255</source>
        <translation>the IP segment %1 is not four numbers from 0 to 255</translation>
    </message>
    <message>
        <source>%1 is not an address of four numbers from 0 to 255</source>
        <translation>%1 is not an address of four numbers from 0 to 255</translation>
    </message>
    <message>
        <source>%1 is outside the segment %2.%3.%4.x</source>
        <translation>%1 is outside the segment %2.%3.%4.x</translation>
    </message>
    <message>
        <source>%1 is not a board's address: its last number must be from %2 to %3</source>
        <translation>%1 is not a board's address: its last number must be from %2 to %3</translation>
    </message>
    <message>
        <source>Firmware path error, please reenter!</source>
        <translation>Firmware path error, please reenter!</translation>
    </message>
    <message>
        <source>The image file does not exist: %1</source>
        <translation>The image file does not exist: %1</translation>
    </message>
    <message>
        <source>The IP segment must be four numbers from 0 to 255, as 192.168.1.100: %1</source>
        <translation>The IP segment must be four numbers from 0 to 255, as 192.168.1.100: %1</translation>
    </message>
    <message>
        <source>No address from %1 to %2 is left in the segment %3 for: %4</source>
        <translation>No address from %1 to %2 is left in the segment %3 for: %4</translation>
    </message>
    <message>
        <source>%1 is given to another board</source>
        <translation>%1 is given to another board</translation>
    </message>
    <message>
        <source>Refused: %1</source>
        <translation>Refused: %1</translation>
    </message>
    <message>
        <source>These boards were not configured:</source>
        <translation>These boards were not configured:</translation>
    </message>
    <message>
        <source>Configuring %1</source>
        <translation>Configuring %1</translation>
    </message>
    <message>
        <source>Update script not found: %1</source>
        <translation>Update script not found: %1</translation>
    </message>
    <message>
        <source>Stopped by the watchdog after %1 s</source>
        <translation>Stopped by the watchdog after %1 s</translation>
    </message>
    <message>
        <source>Updated</source>
        <translation>Updated</translation>
    </message>
    <message>
        <source>Script failed, exit code %1</source>
        <translation>Script failed, exit code %1</translation>
    </message>
    <message>
        <source>Script crashed</source>
        <translation>Script crashed</translation>
    </message>
    <message>
        <source>The script could not start: %1</source>
        <translation>The script could not start: %1</translation>
    </message>
    <message>
        <source>Updating %1</source>
        <translation>Updating %1</translation>
    </message>
</context>
</TS>
