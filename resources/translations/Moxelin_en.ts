<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CAboutMoxelinDialog</name>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>CMoxelinMainWindow</name>
    <message>
        <source>Chinese</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Halvorne Moxelin</source>
        <translation>Halvorne Moxelin</translation>
    </message>
    <message>
        <source> (Ver:</source>
        <translation> (Ver:</translation>
    </message>
    <message>
        <source>%1)</source>
        <translation>%1)</translation>
    </message>
    <message>
        <source>Nav File</source>
        <translation>Nav File</translation>
    </message>
    <message>
        <source>open file</source>
        <translation>open file</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>save file</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Can not get start and end time!
please enter again!!!</source>
        <translation>Can not get start and end time!
please enter again!!!</translation>
    </message>
    <message>
        <source>GPS Nav File</source>
        <translation>GPS Nav File</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>Source File</translation>
    </message>
    <message>
        <source>Observation File</source>
        <translation>Observation File</translation>
    </message>
    <message>
        <source>GPS Navigation File</source>
        <translation>GPS Navigation File</translation>
    </message>
    <message>
        <source>GLO Navigation File</source>
        <translation>GLO Navigation File</translation>
    </message>
    <message>
        <source>GAL Navigation File</source>
        <translation>GAL Navigation File</translation>
    </message>
    <message>
        <source>BDS Navigation File</source>
        <translation>BDS Navigation File</translation>
    </message>
    <message>
        <source>QZS Navigation File</source>
        <translation>QZS Navigation File</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>Output File</translation>
    </message>
    <message>
        <source>File Open Error</source>
        <translation>File Open Error</translation>
    </message>
    <message>
        <source>Can not open </source>
        <translation>Can not open </translation>
    </message>
    <message>
        <source>. Please check your path.</source>
        <translation>. Please check your path.</translation>
    </message>
    <message>
        <source>Source File is empty. Nothing to convert.</source>
        <translation>Source File is empty. Nothing to convert.</translation>
    </message>
    <message>
        <source>Can not write to the folder of %1:
%2
Please check your path.</source>
        <translation>Can not write to the folder of %1:
%2
Please check your path.</translation>
    </message>
    <message>
        <source>%1 is the Source File. Please choose another path.</source>
        <translation>%1 is the Source File. Please choose another path.</translation>
    </message>
    <message>
        <source>The sample interval must be at least 0.001 seconds.</source>
        <translation>The sample interval must be at least 0.001 seconds.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>Load complete</source>
        <translation>Load complete</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>Moxelin</translation>
    </message>
    <message>
        <source>Moxelin Complete</source>
        <translation>Moxelin Complete</translation>
    </message>
    <message>
        <source>Moxelin Failed</source>
        <translation>Moxelin Failed</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Moxelin Complete.</source>
        <translation>Moxelin Complete.</translation>
    </message>
    <message>
        <source>Unknown File</source>
        <translation>Unknown File</translation>
    </message>
    <message>
        <source>Unknown file type. Please check your file.</source>
        <translation>Unknown file type. Please check your file.</translation>
    </message>
    <message>
        <source>Run Error</source>
        <translation>Run Error</translation>
    </message>
    <message>
        <source>Log data error. Can not decode rightly.</source>
        <translation>Log data error. Can not decode rightly.</translation>
    </message>
    <message>
        <source>No observation epoch was converted. Please check the log type, the systems and the sample extraction.</source>
        <translation>No observation epoch was converted. Please check the log type, the systems and the sample extraction.</translation>
    </message>
    <message>
        <source>Moxelin Complete, but the ephemeris logs could not be saved beside the output files.</source>
        <translation>Moxelin Complete, but the ephemeris logs could not be saved beside the output files.</translation>
    </message>
    <message>
        <source>Moxelin Complete, but carrier phases could not be kept in the compressed logs and were left out: %1.</source>
        <translation>Moxelin Complete, but carrier phases could not be kept in the compressed logs and were left out: %1.</translation>
    </message>
    <message>
        <source>RINEX 2 has no mixed navigation file:
each system is written to a navigation file of its own type.</source>
        <translation>RINEX 2 has no mixed navigation file:
each system is written to a navigation file of its own type.</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>File Write Error</translation>
    </message>
    <message>
        <source>%1 could not be written completely (disk full or I/O error).</source>
        <translation>%1 could not be written completely (disk full or I/O error).</translation>
    </message>
    <message>
        <source>No log of the source could be converted.</source>
        <translation>No log of the source could be converted.</translation>
    </message>
    <message>
        <source>View Help</source>
        <translation>View Help</translation>
    </message>
    <message>
        <source>Can not open the help document:
%1</source>
        <translation>Can not open the help document:
%1</translation>
    </message>
    <message>
        <source>Moxelin failed with status %1.</source>
        <translation>Moxelin failed with status %1.</translation>
    </message>
</context>
<context>
    <name>CUserPrompt</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>MoxelinAboutWindow</name>
    <message>
        <source>About Moxelin</source>
        <translation>About Moxelin</translation>
    </message>
    <message>
        <source>Halvorne Moxelin</source>
        <translation>Halvorne Moxelin</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>MoxelinMainWindow</name>
    <message>
        <source>Log Trans Rinex </source>
        <translation>Log Trans Rinex </translation>
    </message>
    <message>
        <source>this is tab 1</source>
        <translation>this is tab 1</translation>
    </message>
    <message>
        <source>Obs Type</source>
        <translation>Obs Type</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Header Settings</source>
        <translation>Header Settings</translation>
    </message>
    <message>
        <source>Edit Obs Header</source>
        <translation>Edit Obs Header</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Edit Nav Header</source>
        <translation>Edit Nav Header</translation>
    </message>
    <message>
        <source>Trans Settings</source>
        <translation>Trans Settings</translation>
    </message>
    <message>
        <source>Rinex Version</source>
        <translation>Rinex Version</translation>
    </message>
    <message>
        <source>Log Type</source>
        <translation>Log Type</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>Output Settings</translation>
    </message>
    <message>
        <source>Enable Mix Type Nav File</source>
        <translation>Enable Mix Type Nav File</translation>
    </message>
    <message>
        <source>Enable Sample Extract</source>
        <translation>Enable Sample Extract</translation>
    </message>
    <message>
        <source>Extract Settings</source>
        <translation>Extract Settings</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>Source File</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Obs File</source>
        <translation>Obs File</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>GPS Nav File</source>
        <translation>GPS Nav File</translation>
    </message>
    <message>
        <source>GLO Nav File</source>
        <translation>GLO Nav File</translation>
    </message>
    <message>
        <source>GAL Nav File</source>
        <translation>GAL Nav File</translation>
    </message>
    <message>
        <source>BDS Nav File</source>
        <translation>BDS Nav File</translation>
    </message>
    <message>
        <source>QZS Nav File</source>
        <translation>QZS Nav File</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>Moxelin</translation>
    </message>
    <message>
        <source>Rinex Trans Log  </source>
        <translation>Rinex Trans Log  </translation>
    </message>
    <message>
        <source>this is tab 2</source>
        <translation>this is tab 2</translation>
    </message>
    <message>
        <source>BDSEphm Data Type</source>
        <translation>BDSEphm Data Type</translation>
    </message>
    <message>
        <source>RANGECMP Flag</source>
        <translation>RANGECMP Flag</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>Output File</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Log Trans Log</source>
        <translation>Log Trans Log</translation>
    </message>
    <message>
        <source>this is tab 3</source>
        <translation>this is tab 3</translation>
    </message>
    <message>
        <source>Trans Type</source>
        <translation>Trans Type</translation>
    </message>
    <message>
        <source>RANGE to RANGECMP</source>
        <translation>RANGE to RANGECMP</translation>
    </message>
    <message>
        <source>RANGECMP to RANGE</source>
        <translation>RANGECMP to RANGE</translation>
    </message>
    <message>
        <source>RANGE to RANGECMP4</source>
        <translation>RANGE to RANGECMP4</translation>
    </message>
    <message>
        <source>RANGECMP4 to RANGE</source>
        <translation>RANGECMP4 to RANGE</translation>
    </message>
    <message>
        <source>Log to Log</source>
        <translation>Log to Log</translation>
    </message>
    <message>
        <source>Log to Binex</source>
        <translation>Log to Binex</translation>
    </message>
    <message>
        <source>Binex to log</source>
        <translation>Binex to log</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>Output Format</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>LANGUAGE</source>
        <translation>LANGUAGE</translation>
    </message>
    <message>
        <source>HELP</source>
        <translation>HELP</translation>
    </message>
    <message>
        <source>Open Log Source File</source>
        <translation>Open Log Source File</translation>
    </message>
    <message>
        <source>Open Rinex Obs File</source>
        <translation>Open Rinex Obs File</translation>
    </message>
    <message>
        <source>Open Log File</source>
        <translation>Open Log File</translation>
    </message>
    <message>
        <source>Log Trans Rinex</source>
        <translation>Log Trans Rinex</translation>
    </message>
    <message>
        <source>Rinex Trans Log</source>
        <translation>Rinex Trans Log</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>View Help</source>
        <translation>View Help</translation>
    </message>
    <message>
        <source>About Moxelin</source>
        <translation>About Moxelin</translation>
    </message>
</context>
<context>
    <name>NavHeaderSettingsWindow</name>
    <message>
        <source>Nav Header Settings</source>
        <translation>Nav Header Settings</translation>
    </message>
    <message>
        <source>Program Name</source>
        <translation>Program Name</translation>
    </message>
    <message>
        <source>Agency Name</source>
        <translation>Agency Name</translation>
    </message>
    <message>
        <source>GPS LeapSecond</source>
        <translation>GPS LeapSecond</translation>
    </message>
    <message>
        <source>BDS LeapSecond</source>
        <translation>BDS LeapSecond</translation>
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
    <name>ObsHeaderSettingsWindow</name>
    <message>
        <source>Obs Header Settings</source>
        <translation>Obs Header Settings</translation>
    </message>
    <message>
        <source>Required</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>Creating Program:</source>
        <translation>Creating Program:</translation>
    </message>
    <message>
        <source>Creating Agency:</source>
        <translation>Creating Agency:</translation>
    </message>
    <message>
        <source>Marker Name:</source>
        <translation>Marker Name:</translation>
    </message>
    <message>
        <source>Marker Type:</source>
        <translation>Marker Type:</translation>
    </message>
    <message>
        <source>Marker Number:</source>
        <translation>Marker Number:</translation>
    </message>
    <message>
        <source>Observer:</source>
        <translation>Observer:</translation>
    </message>
    <message>
        <source>Agency Name:</source>
        <translation>Agency Name:</translation>
    </message>
    <message>
        <source>Receiver Number:</source>
        <translation>Receiver Number:</translation>
    </message>
    <message>
        <source>Receiver Version:</source>
        <translation>Receiver Version:</translation>
    </message>
    <message>
        <source>Receiver Type:</source>
        <translation>Receiver Type:</translation>
    </message>
    <message>
        <source>Antenna Number:</source>
        <translation>Antenna Number:</translation>
    </message>
    <message>
        <source>Antenna Type:</source>
        <translation>Antenna Type:</translation>
    </message>
    <message>
        <source>Approx Position</source>
        <translation>Approx Position</translation>
    </message>
    <message>
        <source>Antenna Delta</source>
        <translation>Antenna Delta</translation>
    </message>
    <message>
        <source>Position of ARP</source>
        <translation>Position of ARP</translation>
    </message>
    <message>
        <source>Ant B.Sight</source>
        <translation>Ant B.Sight</translation>
    </message>
    <message>
        <source>Zero Dir of Ant</source>
        <translation>Zero Dir of Ant</translation>
    </message>
    <message>
        <source>Center of Mass</source>
        <translation>Center of Mass</translation>
    </message>
    <message>
        <source>Azimuth of ZeroDir</source>
        <translation>Azimuth of ZeroDir</translation>
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
    <name>SampleExtract</name>
    <message>
        <source>SampleExtract</source>
        <translation>SampleExtract</translation>
    </message>
    <message>
        <source>Display Format</source>
        <translation>Display Format</translation>
    </message>
    <message>
        <source>Sample Extract</source>
        <translation>Sample Extract</translation>
    </message>
    <message>
        <source>Sample Rate</source>
        <translation>Sample Rate</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>Start Time</source>
        <translation>Start Time</translation>
    </message>
    <message>
        <source>End Time</source>
        <translation>End Time</translation>
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
