<?xml version="1.0" encoding="utf-8"?>
<TS version="2.1" language="en_US">
<context>
    <name>CZvAboutDiag</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>ZorvikMonitor v%1, 2026</source>
        <translation>ZorvikMonitor v%1, 2026</translation>
    </message>
    <message>
        <source>Built with Qt %1</source>
        <translation>Built with Qt %1</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>FDebugWindow</name>
    <message>
        <source>Debug</source>
        <translation>Debug</translation>
    </message>
</context>
<context>
    <name>QButtonBar</name>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>The command presets cannot be read from %1: %2. Changes to them are not saved while the monitor runs, so that the file stays as it is.</source>
        <translation>The command presets cannot be read from %1: %2. Changes to them are not saved while the monitor runs, so that the file stays as it is.</translation>
    </message>
    <message>
        <source>The command presets are not saved: %1 could not be read, and saving would replace it.</source>
        <translation>The command presets are not saved: %1 could not be read, and saving would replace it.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The command presets cannot be saved to %1</source>
        <translation>The command presets cannot be saved to %1</translation>
    </message>
    <message>
        <source>The preset file cannot hold this change: it would grow beyond %1 KB.</source>
        <translation>The preset file cannot hold this change: it would grow beyond %1 KB.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Group Name</source>
        <translation>Group Name</translation>
    </message>
    <message>
        <source>please input Group Name:</source>
        <translation>please input Group Name:</translation>
    </message>
    <message>
        <source>Group Already Exist !</source>
        <translation>Group Already Exist !</translation>
    </message>
    <message>
        <source>The preset file cannot keep this group name: remove &quot;:::&quot;, &quot;#######&quot;, &quot;@CR&quot; and &quot;@LF&quot;, and a &quot;:&quot; at its end.</source>
        <translation>The preset file cannot keep this group name: remove &quot;:::&quot;, &quot;#######&quot;, &quot;@CR&quot; and &quot;@LF&quot;, and a &quot;:&quot; at its end.</translation>
    </message>
    <message>
        <source>The preset file cannot keep this button: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at the ends of its texts.</source>
        <translation>The preset file cannot keep this button: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at the ends of its texts.</translation>
    </message>
    <message>
        <source>Command Preset</source>
        <translation>Command Preset</translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation>Add Group</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>Delete Group</translation>
    </message>
    <message>
        <source>New Button</source>
        <translation>New Button</translation>
    </message>
    <message>
        <source>Edit Button</source>
        <translation>Edit Button</translation>
    </message>
    <message>
        <source>Delete Button</source>
        <translation>Delete Button</translation>
    </message>
    <message>
        <source>Copy Content</source>
        <translation>Copy Content</translation>
    </message>
</context>
<context>
    <name>QButtonBarEditDialog</name>
    <message>
        <source>Edit Button</source>
        <translation>Edit Button</translation>
    </message>
    <message>
        <source>Label  Name</source>
        <translation>Label  Name</translation>
    </message>
    <message>
        <source>Send String</source>
        <translation>Send String</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
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
<context>
    <name>QButtonEdit</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The preset file cannot keep this label or send string: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at its ends.</source>
        <translation>The preset file cannot keep this label or send string: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at its ends.</translation>
    </message>
</context>
<context>
    <name>QCMDInput</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The command history cannot be written to %1: %2.</source>
        <translation>The command history cannot be written to %1: %2.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Send Commands to All Sessions</source>
        <translation>Send Commands to All Sessions</translation>
    </message>
    <message>
        <source>Line Mode</source>
        <translation>Line Mode</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Hex Send</source>
        <translation>Hex Send</translation>
    </message>
    <message>
        <source>Updating</source>
        <translation>Updating</translation>
    </message>
    <message>
        <source>The board card in the upgrade, do not enter the command!!</source>
        <translation>The board card in the upgrade, do not enter the command!!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The hexadecimal data is garbled!</source>
        <translation>The hexadecimal data is garbled!</translation>
    </message>
    <message>
        <source>no port is connected</source>
        <translation>no port is connected</translation>
    </message>
    <message>
        <source>no port is open</source>
        <translation>no port is open</translation>
    </message>
    <message>
        <source>%1 is disconnected</source>
        <translation>%1 is disconnected</translation>
    </message>
    <message>
        <source>the connection of %1 failed (%2)</source>
        <translation>the connection of %1 failed (%2)</translation>
    </message>
    <message>
        <source>No port takes this command: %1.</source>
        <translation>No port takes this command: %1.</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>it does not exist</source>
        <translation>it does not exist</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>it is larger than %1 KB</source>
        <translation>it is larger than %1 KB</translation>
    </message>
    <message>
        <source>it cannot be opened or read</source>
        <translation>it cannot be opened or read</translation>
    </message>
    <message>
        <source>it cannot be opened for writing</source>
        <translation>it cannot be opened for writing</translation>
    </message>
    <message>
        <source>writing to it failed</source>
        <translation>writing to it failed</translation>
    </message>
</context>
</TS>
