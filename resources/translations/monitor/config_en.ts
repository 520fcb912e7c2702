<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>RecvConfig</name>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>Network Configuration-Configure</source>
        <translation>Network Configuration-Configure</translation>
    </message>
    <message>
        <source>Configure Ethernet</source>
        <translation>Configure Ethernet</translation>
    </message>
    <message>
        <source>IP Mode</source>
        <translation>IP Mode</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>Net Mask</source>
        <translation>Net Mask</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>Hostname</translation>
    </message>
    <message>
        <source>Change Configuration</source>
        <translation>Change Configuration</translation>
    </message>
    <message>
        <source>Geographical</source>
        <translation>Geographical</translation>
    </message>
    <message>
        <source>Reference Latitude</source>
        <translation>Reference Latitude</translation>
    </message>
    <message>
        <source>Reference Longitude</source>
        <translation>Reference Longitude</translation>
    </message>
    <message>
        <source>Reference Height</source>
        <translation>Reference Height</translation>
    </message>
    <message>
        <source>[m]</source>
        <translation>[m]</translation>
    </message>
    <message>
        <source>Load Current Position</source>
        <translation>Load Current Position</translation>
    </message>
    <message>
        <source>Current Position</source>
        <translation>Current Position</translation>
    </message>
    <message>
        <source>Position Averaging</source>
        <translation>Position Averaging</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Latitude</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Longitude</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Height</translation>
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
        <source>Elevation Mask</source>
        <translation>Elevation Mask</translation>
    </message>
    <message>
        <source>RTK Elevation Mask</source>
        <translation>RTK Elevation Mask</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Enable All</source>
        <translation>Enable All</translation>
    </message>
    <message>
        <source>Disable All</source>
        <translation>Disable All</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Ntrip Format</source>
        <translation>Ntrip Format</translation>
    </message>
    <message>
        <source>Server Name</source>
        <translation>Server Name</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Username</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Mount Point</source>
        <translation>Mount Point</translation>
    </message>
    <message>
        <source>NetConfig</source>
        <translation>NetConfig</translation>
    </message>
    <message>
        <source>RefStation</source>
        <translation>RefStation</translation>
    </message>
    <message>
        <source>PPS</source>
        <translation>PPS</translation>
    </message>
    <message>
        <source>Sat Enable</source>
        <translation>Sat Enable</translation>
    </message>
</context>
<context>
    <name>QZvRecvConfig</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Get PPSConfigList Fail!!</source>
        <translation>Get PPSConfigList Fail!!</translation>
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
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>The port of this receiver is not open: nothing was sent.</translation>
    </message>
    <message>
        <source>The satellites in use on the %1 page have not been read from the receiver yet: nothing was sent. Wait for its reply, or choose %2 or %3 first.</source>
        <translation>The satellites in use on the %1 page have not been read from the receiver yet: nothing was sent. Wait for its reply, or choose %2 or %3 first.</translation>
    </message>
    <message>
        <source>%1 needs four numbers from 0 to 255.</source>
        <translation>%1 needs four numbers from 0 to 255.</translation>
    </message>
    <message>
        <source>%1 must be one word, without blanks.</source>
        <translation>%1 must be one word, without blanks.</translation>
    </message>
    <message>
        <source>%1 needs degrees from 0 to %2, and minutes and seconds from 0 to below 60, without a sign (N/S and E/W give the hemisphere).</source>
        <translation>%1 needs degrees from 0 to %2, and minutes and seconds from 0 to below 60, without a sign (N/S and E/W give the hemisphere).</translation>
    </message>
    <message>
        <source>%1 must be a number.</source>
        <translation>%1 must be a number.</translation>
    </message>
    <message>
        <source>Please input PPSconfig Width!</source>
        <translation>Please input PPSconfig Width!</translation>
    </message>
    <message>
        <source>%1 must be a number from %2 to %3.</source>
        <translation>%1 must be a number from %2 to %3.</translation>
    </message>
    <message>
        <source>PPSconfig Width</source>
        <translation>PPSconfig Width</translation>
    </message>
    <message>
        <source>PPSconfig Width is More than 1000 us!</source>
        <translation>PPSconfig Width is More than 1000 us!</translation>
    </message>
    <message>
        <source>PPSconfig Period</source>
        <translation>PPSconfig Period</translation>
    </message>
    <message>
        <source>PPSconfig RF Delay</source>
        <translation>PPSconfig RF Delay</translation>
    </message>
    <message>
        <source>PPSconfig User Delay</source>
        <translation>PPSconfig User Delay</translation>
    </message>
    <message>
        <source>Please input Port</source>
        <translation>Please input Port</translation>
    </message>
    <message>
        <source>Please input Password</source>
        <translation>Please input Password</translation>
    </message>
    <message>
        <source>Please input Mount Point</source>
        <translation>Please input Mount Point</translation>
    </message>
    <message>
        <source>Please input Server Name</source>
        <translation>Please input Server Name</translation>
    </message>
    <message>
        <source>Please input Username </source>
        <translation>Please input Username </translation>
    </message>
    <message>
        <source>Please choose Server or Client.</source>
        <translation>Please choose Server or Client.</translation>
    </message>
    <message>
        <source>%1 must not contain &quot;:&quot;.</source>
        <translation>%1 must not contain &quot;:&quot;.</translation>
    </message>
    <message>
        <source>The receiver&apos;s network mode is not known: choose DHCP or STATIC.</source>
        <translation>The receiver&apos;s network mode is not known: choose DHCP or STATIC.</translation>
    </message>
</context>
<context>
    <name>QLockOutDiag</name>
    <message>
        <source>QLockOutDiag</source>
        <translation>QLockOutDiag</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
</context>
</TS>
