<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>PortListConnectDiag</name>
    <message>
        <source>Port Connect</source>
        <translation>Port Connect</translation>
    </message>
    <message>
        <source>Port List</source>
        <translation>Port List</translation>
    </message>
    <message>
        <source>Web List</source>
        <translation>Web List</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Auto Detect</source>
        <translation>Auto Detect</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>QPortListConnectDiag</name>
    <message>
        <source>Port Name</source>
        <translation>Port Name</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>Baud Rate</translation>
    </message>
    <message>
        <source>Window Name</source>
        <translation>Window Name</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Occupied</source>
        <translation>Occupied</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>QReplayCfgDiag</name>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>400</source>
        <translation>400</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>Log file config</source>
        <translation>Log file config</translation>
    </message>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>Logs (*.log *.bin *.txt);;Any files(*.*)</translation>
    </message>
    <message>
        <source>Open replay file error</source>
        <translation>Open replay file error</translation>
    </message>
    <message>
        <source>File path can not be empty!</source>
        <translation>File path can not be empty!</translation>
    </message>
    <message>
        <source>the File does not exist!</source>
        <translation>the File does not exist!</translation>
    </message>
    <message>
        <source>it is not a file!</source>
        <translation>it is not a file!</translation>
    </message>
</context>
<context>
    <name>QuickConnectDiag</name>
    <message>
        <source>Quick Connect</source>
        <translation>Quick Connect</translation>
    </message>
    <message>
        <source>Uart</source>
        <translation>Uart</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <source>Data bits:</source>
        <translation>Data bits:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>Stop bits:</source>
        <translation>Stop bits:</translation>
    </message>
    <message>
        <source> Auto Detect </source>
        <translation> Auto Detect </translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>TCP/IP UDP Connect</source>
        <translation>TCP/IP UDP Connect</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Server Name:</translation>
    </message>
    <message>
        <source>IP Port:</source>
        <translation>IP Port:</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP Address:</translation>
    </message>
    <message>
        <source>NTrip</source>
        <translation>NTrip</translation>
    </message>
    <message>
        <source>NTrip Mode</source>
        <translation>NTrip Mode</translation>
    </message>
    <message>
        <source>NTrip Client</source>
        <translation>NTrip Client</translation>
    </message>
    <message>
        <source>NTrip Server</source>
        <translation>NTrip Server</translation>
    </message>
    <message>
        <source>Server Name</source>
        <translation>Server Name</translation>
    </message>
    <message>
        <source>MountPoint:</source>
        <translation>MountPoint:</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>User Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>(Can NOT Open)</source>
        <translation>(Can NOT Open)</translation>
    </message>
    <message>
        <source>The USB devices cannot be listed: USB is not available to this program.</source>
        <translation>The USB devices cannot be listed: USB is not available to this program.</translation>
    </message>
    <message>
        <source>No USB receiver found, and no other USB device is seen either: check the cable and that the receiver is powered.</source>
        <translation>No USB receiver found, and no other USB device is seen either: check the cable and that the receiver is powered.</translation>
    </message>
    <message>
        <source>No USB receiver found. USB devices seen:</source>
        <translation>No USB receiver found. USB devices seen:</translation>
    </message>
    <message>
        <source>(no product name)</source>
        <translation>(no product name)</translation>
    </message>
    <message>
        <source>If your receiver is among them, add its ID (VVVV:PPPP) as a line of %1 and open this window again.</source>
        <translation>If your receiver is among them, add its ID (VVVV:PPPP) as a line of %1 and open this window again.</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened: permission denied. Install the udev rule for its ID (README, &quot;On Linux&quot;) and plug the receiver in again.</source>
        <translation>Receiver %1 cannot be opened: permission denied. Install the udev rule for its ID (README, &quot;On Linux&quot;) and plug the receiver in again.</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened: it is busy, another program is using it. Close that program and open this window again.</source>
        <translation>Receiver %1 cannot be opened: it is busy, another program is using it. Close that program and open this window again.</translation>
    </message>
    <message>
        <source>Device %1 cannot be opened: it has no receiver link interface, so its ID may belong to another device.</source>
        <translation>Device %1 cannot be opened: it has no receiver link interface, so its ID may belong to another device.</translation>
    </message>
    <message>
        <source>Receiver %1 was unplugged.</source>
        <translation>Receiver %1 was unplugged.</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened.</source>
        <translation>Receiver %1 cannot be opened.</translation>
    </message>
    <message>
        <source>These lines of %1 are no ID of the form VVVV:PPPP and are skipped:</source>
        <translation>These lines of %1 are no ID of the form VVVV:PPPP and are skipped:</translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>line %1</translation>
    </message>
    <message numerus="yes">
        <source>and %n more lines</source>
        <translation>
            <numerusform>and %n more line</numerusform>
            <numerusform>and %n more lines</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 cannot be read: %2. No receiver ID is added from it.</source>
        <translation>%1 cannot be read: %2. No receiver ID is added from it.</translation>
    </message>
    <message>
        <source>Server Name can not be null</source>
        <translation>Server Name can not be null</translation>
    </message>
    <message>
        <source>IP Port</source>
        <translation>IP Port</translation>
    </message>
    <message>
        <source>IP Port is invalid</source>
        <translation>IP Port is invalid</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>Fatal Error</translation>
    </message>
    <message>
        <source>Port can not be NULL</source>
        <translation>Port can not be NULL</translation>
    </message>
    <message>
        <source>Auto Detecting</source>
        <translation>Auto Detecting</translation>
    </message>
    <message>
        <source>Baudrate auto detect</source>
        <translation>Baudrate auto detect</translation>
    </message>
    <message>
        <source>Baudrate auto detect failed, reset to 115200</source>
        <translation>Baudrate auto detect failed, reset to 115200</translation>
    </message>
</context>
<context>
    <name>ReplayCfgDiag</name>
    <message>
        <source>Relay Settings</source>
        <translation>Relay Settings</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Position Message Type</source>
        <translation>Position Message Type</translation>
    </message>
    <message>
        <source>Replay Speed</source>
        <translation>Replay Speed</translation>
    </message>
    <message>
        <source>Start Point</source>
        <translation>Start Point</translation>
    </message>
    <message>
        <source>Replay</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ServiceModel</name>
    <message>
        <source>Host name</source>
        <translation>Host name</translation>
    </message>
    <message>
        <source>Board Type</source>
        <translation>Board Type</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Product ID</source>
        <translation>Product ID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN</translation>
    </message>
</context>
</TS>
