<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>CPortTab</name>
    <message>
        <source>Close Window</source>
        <translation>Close Window</translation>
    </message>
    <message>
        <source>input error</source>
        <translation>input error</translation>
    </message>
    <message>
        <source>Invalid Port</source>
        <translation>Invalid Port</translation>
    </message>
    <message>
        <source>Out of Memory</source>
        <translation>Out of Memory</translation>
    </message>
    <message>
        <source>USB busy</source>
        <translation>USB busy</translation>
    </message>
    <message>
        <source>timeout</source>
        <translation>timeout</translation>
    </message>
    <message>
        <source>image refused by the receiver</source>
        <translation>image refused by the receiver</translation>
    </message>
    <message>
        <source>USB link lost</source>
        <translation>USB link lost</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>Port connection failed<byte value="xd" />
1.Check for halvorne board !<byte value="xd" />
2.Baud rate does not match, Can right click on the port configuration, Change the configuration! </source>
        <translation>Port connection failed<byte value="xd" />
1.Check for halvorne board !<byte value="xd" />
2.Baud rate does not match, Can right click on the port configuration, Change the configuration! </translation>
    </message>
    <message>
        <source>Can not open Port</source>
        <translation>Can not open Port</translation>
    </message>
    <message>
        <source>Server refused</source>
        <translation>Server refused</translation>
    </message>
    <message>
        <source>The connection was refused by the peer</source>
        <translation>The connection was refused by the peer</translation>
    </message>
    <message>
        <source>The host was not found</source>
        <translation>The host was not found</translation>
    </message>
    <message>
        <source>Time out</source>
        <translation>Time out</translation>
    </message>
    <message>
        <source>Err ID %1</source>
        <translation>Err ID %1</translation>
    </message>
    <message>
        <source>Connect Err!
</source>
        <translation>Connect Err!
</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Do you sure to un log</source>
        <translation>Do you sure to un log</translation>
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
        <source>File exists</source>
        <translation>File exists</translation>
    </message>
    <message>
        <source>Do you wish to replace</source>
        <translation>Do you wish to replace</translation>
    </message>
    <message>
        <source>Log file default Folder</source>
        <translation>Log file default Folder</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
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
        <source>Coded Format</source>
        <translation>Coded Format</translation>
    </message>
    <message>
        <source>Rename tab</source>
        <translation>Rename tab</translation>
    </message>
    <message>
        <source>please input New Tab Name:</source>
        <translation>please input New Tab Name:</translation>
    </message>
    <message>
        <source>Rename Err</source>
        <translation>Rename Err</translation>
    </message>
    <message>
        <source>The name already exists. Please retype it</source>
        <translation>The name already exists. Please retype it</translation>
    </message>
    <message>
        <source>no file could be made</source>
        <translation>no file could be made</translation>
    </message>
    <message>
        <source>Open File Fail</source>
        <translation>Open File Fail</translation>
    </message>
    <message>
        <source>The ErrMsg is %1,  Please check the relevant information of the error: %2
%3</source>
        <translation>The ErrMsg is %1,  Please check the relevant information of the error: %2
%3</translation>
    </message>
    <message>
        <source>Staging Error</source>
        <translation>Staging Error</translation>
    </message>
    <message>
        <source>Firmware upgrade in progress</source>
        <translation>Firmware upgrade in progress</translation>
    </message>
    <message>
        <source>Not a serial port</source>
        <translation>Not a serial port</translation>
    </message>
    <message>
        <source>This feature only supports serial port upgrade!!</source>
        <translation>This feature only supports serial port upgrade!!</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Rescue xmodem upgrade test in progress, are you sure to cancel the upgrade?</source>
        <translation>Rescue xmodem upgrade test in progress, are you sure to cancel the upgrade?</translation>
    </message>
    <message>
        <source>Confirm to start upgrade version?</source>
        <translation>Confirm to start upgrade version?</translation>
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation>Firmware upgrading</translation>
    </message>
    <message>
        <source>Please try again later</source>
        <translation>Please try again later</translation>
    </message>
    <message>
        <source>Only Uart or USB or TCPIP is valid for upgrade Firmware</source>
        <translation>Only Uart or USB or TCPIP is valid for upgrade Firmware</translation>
    </message>
    <message>
        <source>Not Valid Halvorne Product</source>
        <translation>Not Valid Halvorne Product</translation>
    </message>
    <message>
        <source>Only support Halvorne product</source>
        <translation>Only support Halvorne product</translation>
    </message>
    <message>
        <source>Firmware upgrading, Cancel?</source>
        <translation>Firmware upgrading, Cancel?</translation>
    </message>
    <message>
        <source>the firmware is upgrading, do you want to cancel current upgrading</source>
        <translation>the firmware is upgrading, do you want to cancel current upgrading</translation>
    </message>
    <message>
        <source>The maximum baud matching rate for firmware updates is 460800, compared to the current %1!!</source>
        <translation>The maximum baud matching rate for firmware updates is 460800, compared to the current %1!!</translation>
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
        <source>Not a file: %1</source>
        <translation>Not a file: %1</translation>
    </message>
    <message>
        <source>The image cannot be read: %1</source>
        <translation>The image cannot be read: %1</translation>
    </message>
    <message>
        <source>Do not power off during upgrade!!!</source>
        <translation>Do not power off during upgrade!!!</translation>
    </message>
    <message>
        <source>Image check sum invalid!</source>
        <translation>Image check sum invalid!</translation>
    </message>
    <message>
        <source>Hardware mismatch!</source>
        <translation>Hardware mismatch!</translation>
    </message>
    <message>
        <source>Firmware version mismatch!</source>
        <translation>Firmware version mismatch!</translation>
    </message>
    <message>
        <source>Not Valid Image!</source>
        <translation>Not Valid Image!</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>Are you sure to continue upgrading??</source>
        <translation>Are you sure to continue upgrading??</translation>
    </message>
    <message>
        <source>Firmware Upgrade complete</source>
        <translation>Firmware Upgrade complete</translation>
    </message>
    <message>
        <source>Firmware Upgrade Fail</source>
        <translation>Firmware Upgrade Fail</translation>
    </message>
    <message>
        <source>Firmware Upgrade Fail<byte value="xd" />
Please reset the board !!!</source>
        <translation>Firmware Upgrade Fail<byte value="xd" />
Please reset the board !!!</translation>
    </message>
    <message>
        <source>Unknown error %1</source>
        <translation>Unknown error %1</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>Port lost</source>
        <translation>Port lost</translation>
    </message>
    <message>
        <source>The port&apos;s device went away (adapter unplugged or line closed).
Reconnect the port once it is back.</source>
        <translation>The port&apos;s device went away (adapter unplugged or line closed).
Reconnect the port once it is back.</translation>
    </message>
    <message>
        <source>The caster refused the user name or password (401 Unauthorized).</source>
        <translation>The caster refused the user name or password (401 Unauthorized).</translation>
    </message>
    <message>
        <source>The caster has no mount point &quot;%1&quot;.</source>
        <translation>The caster has no mount point &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>It offers no mount point.</source>
        <translation>It offers no mount point.</translation>
    </message>
    <message>
        <source>Mount points it offers: %1</source>
        <translation>Mount points it offers: %1</translation>
    </message>
    <message>
        <source>(%1 in all)</source>
        <translation>(%1 in all)</translation>
    </message>
</context>
</TS>