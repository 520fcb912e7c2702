<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QZorvikMonitor</name>
    <message>
        <source>ZorvikMonitor</source>
        <translation>ZorvikMonitor</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Replay</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>Analysis</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>EVT</source>
        <translation>EVT</translation>
    </message>
    <message>
        <source>Script</source>
        <translation>Script</translation>
    </message>
    <message>
        <source>TQ</source>
        <translation>TQ</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Connect Ports</source>
        <translation>Connect Ports</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Quick Connect</source>
        <translation>Quick Connect</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>LogDiag</source>
        <translation>LogDiag</translation>
    </message>
    <message>
        <source>Log to File Config</source>
        <translation>Log to File Config</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>Receiver Status</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Web Server</source>
        <translation>Web Server</translation>
    </message>
    <message>
        <source>Visit Web Server</source>
        <translation>Visit Web Server</translation>
    </message>
    <message>
        <source>Ctrl+U</source>
        <translation>Ctrl+U</translation>
    </message>
    <message>
        <source>CN0</source>
        <translation>CN0</translation>
    </message>
    <message>
        <source>SkyPlot</source>
        <translation>SkyPlot</translation>
    </message>
    <message>
        <source>INS Status</source>
        <translation>INS Status</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>Range Parser</translation>
    </message>
    <message>
        <source>Position Track Plot</source>
        <translation>Position Track Plot</translation>
    </message>
    <message>
        <source>Position Height Plot</source>
        <translation>Position Height Plot</translation>
    </message>
    <message>
        <source>Debug Window</source>
        <translation>Debug Window</translation>
    </message>
    <message>
        <source>Map Window</source>
        <translation>Map Window</translation>
    </message>
    <message>
        <source>Command Window</source>
        <translation>Command Window</translation>
    </message>
    <message>
        <source>M&amp;essageView</source>
        <translation>M&amp;essageView</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Show Message View</source>
        <translation>Show Message View</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>Config INS</source>
        <translation>Config INS</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Config Receiver</source>
        <translation>Config Receiver</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>Freset</translation>
    </message>
    <message>
        <source>Ctrl+Shift+F</source>
        <translation>Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>Userconfig</source>
        <translation>Userconfig</translation>
    </message>
    <message>
        <source>Loglist Check</source>
        <translation>Loglist Check</translation>
    </message>
    <message>
        <source>INS Config Check</source>
        <translation>INS Config Check</translation>
    </message>
    <message>
        <source>Stable Mode</source>
        <translation>Stable Mode</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:11pt; font-weight:600; font-style:italic;&quot;&gt;Stable Mode&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:11pt; font-weight:600; font-style:italic;&quot;&gt;Stable Mode&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>MsgFilter</source>
        <translation>MsgFilter</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Upgrade FW</source>
        <translation>Upgrade FW</translation>
    </message>
    <message>
        <source>Ctrl+K</source>
        <translation>Ctrl+K</translation>
    </message>
    <message>
        <source>AutoLog</source>
        <translation>AutoLog</translation>
    </message>
    <message>
        <source>Alt+2</source>
        <translation>Alt+2</translation>
    </message>
    <message>
        <source>KMZ Gen</source>
        <translation>KMZ Gen</translation>
    </message>
    <message>
        <source>Hex to Binary</source>
        <translation>Hex to Binary</translation>
    </message>
    <message>
        <source>Send XModem</source>
        <translation>Send XModem</translation>
    </message>
    <message>
        <source>NVM Log</source>
        <translation>NVM Log</translation>
    </message>
    <message>
        <source>Medium Freq</source>
        <translation>Medium Freq</translation>
    </message>
    <message>
        <source>Rescue Modem</source>
        <translation>Rescue Modem</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>Moxelin</translation>
    </message>
    <message>
        <source>Longitude and latitude conversion</source>
        <translation>Longitude and latitude conversion</translation>
    </message>
    <message>
        <source>Replay File</source>
        <translation>Replay File</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Backward</translation>
    </message>
    <message>
        <source>RTCM</source>
        <translation>RTCM</translation>
    </message>
    <message>
        <source>CMR</source>
        <translation>CMR</translation>
    </message>
    <message>
        <source>Alt+Q</source>
        <translation>Alt+Q</translation>
    </message>
    <message>
        <source>Alt+W</source>
        <translation>Alt+W</translation>
    </message>
    <message>
        <source>Set Script</source>
        <translation>Set Script</translation>
    </message>
    <message>
        <source>On</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>Configure Check</translation>
    </message>
    <message>
        <source>Alt+1</source>
        <translation>Alt+1</translation>
    </message>
    <message>
        <source>Regression</source>
        <translation>Regression</translation>
    </message>
    <message>
        <source>Hardware Test</source>
        <translation>Hardware Test</translation>
    </message>
    <message>
        <source>Product Mode</source>
        <translation>Product Mode</translation>
    </message>
    <message>
        <source>Simplify</source>
        <translation>Simplify</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>Advance</translation>
    </message>
    <message>
        <source>Professional</source>
        <translation>Professional</translation>
    </message>
    <message>
        <source>Classical</source>
        <translation>Classical</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Highlight</translation>
    </message>
    <message>
        <source>Rename All Tabs</source>
        <translation>Rename All Tabs</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>ReconnectAll</source>
        <translation>ReconnectAll</translation>
    </message>
    <message>
        <source>DisconnectAll</source>
        <translation>DisconnectAll</translation>
    </message>
    <message>
        <source>File Replay Control</source>
        <translation>File Replay Control</translation>
    </message>
    <message>
        <source>File Replay control only works on valid file replay port</source>
        <translation>File Replay control only works on valid file replay port</translation>
    </message>
    <message>
        <source>Command Window (Send CMD All Ports)</source>
        <translation>Command Window (Send CMD All Ports)</translation>
    </message>
    <message>
        <source>Send Commands to All Sessions</source>
        <translation>Send Commands to All Sessions</translation>
    </message>
    <message>
        <source>The converter %1 could not be started.</source>
        <translation>The converter %1 could not be started.</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Are you sure you want to go into Stablemode?</source>
        <translation>Are you sure you want to go into Stablemode?</translation>
    </message>
    <message>
        <source>After entering, the receiver information cannot be viewed.</source>
        <translation>After entering, the receiver information cannot be viewed.</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Are you sure you want to exit stable mode?</source>
        <translation>Are you sure you want to exit stable mode?</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>Path Input</translation>
    </message>
    <message>
        <source>Please input record TQ path</source>
        <translation>Please input record TQ path</translation>
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
        <source>Do you wish to close all the ports</source>
        <translation>Do you wish to close all the ports</translation>
    </message>
</context>
</TS>
