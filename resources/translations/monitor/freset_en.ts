<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QFresetDiag</name>
    <message>
        <source>Freset</source>
        <translation>Freset</translation>
    </message>
    <message>
        <source>Configure to Save</source>
        <translation>Configure to Save</translation>
    </message>
    <message>
        <source>User Config</source>
        <translation>User Config</translation>
    </message>
    <message>
        <source>Msg Config</source>
        <translation>Msg Config</translation>
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
    <name>QFresetConfig</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>No receiver port is open: nothing was sent.</source>
        <translation>No receiver port is open: nothing was sent.</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>Are you sure to restore factory Settings?
The configuration will be cleared when the factory Settings are restored</source>
        <translation>Are you sure to restore factory Settings?
The configuration will be cleared when the factory Settings are restored</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The port of this receiver is not open any more: the factory reset was not done.</source>
        <translation>The port of this receiver is not open any more: the factory reset was not done.</translation>
    </message>
    <message>
        <source>The receiver did not send the settings to save: the factory reset was not done, and its settings are kept.</source>
        <translation>The receiver did not send the settings to save: the factory reset was not done, and its settings are kept.</translation>
    </message>
    <message>
        <source>Userconfig List is empty</source>
        <translation>Userconfig List is empty</translation>
    </message>
    <message>
        <source>The port of this receiver is not open any more: its settings were not sent again.</source>
        <translation>The port of this receiver is not open any more: its settings were not sent again.</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>Restore factory Settings successfully</source>
        <translation>Restore factory Settings successfully</translation>
    </message>
    <message>
        <source>The receiver did not confirm the factory reset.</source>
        <translation>The receiver did not confirm the factory reset.</translation>
    </message>
</context>
</TS>
