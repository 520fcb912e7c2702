<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>HextoBinDiag</name>
    <message>
        <source>Hex To Binary</source>
        <translation>Hex To Binary</translation>
    </message>
    <message>
        <source>Input File Path:</source>
        <translation>Input File Path:</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>Open Log</translation>
    </message>
    <message>
        <source>Out File Path:</source>
        <translation>Out File Path:</translation>
    </message>
    <message>
        <source>Processed Lines</source>
        <translation>Processed Lines</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>KMZGenDiag</name>
    <message>
        <source>KMZ Gen Dialog</source>
        <translation>KMZ Gen Dialog</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>Log File</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>Open Log</translation>
    </message>
    <message>
        <source>KMZ File</source>
        <translation>KMZ File</translation>
    </message>
    <message>
        <source>Open KMZ</source>
        <translation>Open KMZ</translation>
    </message>
    <message>
        <source>Display Name</source>
        <translation>Display Name</translation>
    </message>
    <message>
        <source>Ref Message Type</source>
        <translation>Ref Message Type</translation>
    </message>
    <message>
        <source>Display Speed</source>
        <translation>Display Speed</translation>
    </message>
    <message>
        <source>Height Force Zero</source>
        <translation>Height Force Zero</translation>
    </message>
    <message>
        <source>Display Pos Type</source>
        <translation>Display Pos Type</translation>
    </message>
    <message>
        <source>Display Heading</source>
        <translation>Display Heading</translation>
    </message>
    <message>
        <source>Tag Offset</source>
        <translation>Tag Offset</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Icon Style</source>
        <translation>Icon Style</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Line Style</source>
        <translation>Line Style</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Processed Lines</source>
        <translation>Processed Lines</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LonAndLatConvertDiag</name>
    <message>
        <source>Longitude and latitude conversion</source>
        <translation>Longitude and latitude conversion</translation>
    </message>
    <message>
        <source>Lon and Lat</source>
        <translation>Lon and Lat</translation>
    </message>
    <message>
        <source>Input Format</source>
        <translation>Input Format</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>Output Format</translation>
    </message>
    <message>
        <source>Out Three Format</source>
        <translation>Out Three Format</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Log or Sentence</source>
        <translation>Log or Sentence</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>Lon</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>Lat</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Degree Min Sec</source>
        <translation>Degree Min Sec</translation>
    </message>
    <message>
        <source>Conversion</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>Coordinate Transformation</source>
        <translation>Coordinate Transformation</translation>
    </message>
    <message>
        <source>Time Cycle</source>
        <translation>Time Cycle</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>Week Seconds</source>
        <translation>Week Seconds</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC Time</translation>
    </message>
    <message>
        <source>GPS LeapSeconds </source>
        <translation>GPS LeapSeconds </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>QHextoBinDiag</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
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
        <source>Please input File Path!</source>
        <translation>Please input File Path!</translation>
    </message>
    <message>
        <source>The input file is empty</source>
        <translation>The input file is empty</translation>
    </message>
    <message>
        <source>There is some garbled code in the file!</source>
        <translation>There is some garbled code in the file!</translation>
    </message>
    <message>
        <source>Characters that are no hexadecimal digits: %1; the first, %2, is on line %3.</source>
        <translation>Characters that are no hexadecimal digits: %1; the first, %2, is on line %3.</translation>
    </message>
    <message>
        <source>Succeed</source>
        <translation>Succeed</translation>
    </message>
    <message>
        <source>Hex to binary conversion successful</source>
        <translation>Hex to binary conversion successful</translation>
    </message>
    <message>
        <source>The input file cannot be opened: %1</source>
        <translation>The input file cannot be opened: %1</translation>
    </message>
    <message>
        <source>The output file cannot be created: %1</source>
        <translation>The output file cannot be created: %1</translation>
    </message>
    <message>
        <source>The output file is the input file!</source>
        <translation>The output file is the input file!</translation>
    </message>
    <message>
        <source>The conversion failed and wrote no output: %1</source>
        <translation>The conversion failed and wrote no output: %1</translation>
    </message>
</context>
<context>
    <name>QKMZGenDiag</name>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>Logs (*.log *.bin *.txt);;Any files(*.*)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Log file config</source>
        <translation>Log file config</translation>
    </message>
    <message>
        <source>KMZ file config</source>
        <translation>KMZ file config</translation>
    </message>
    <message>
        <source>Set Icon file</source>
        <translation>Set Icon file</translation>
    </message>
    <message>
        <source>Logs (*.png *.jpg *.ico);;Any files(*.*)</source>
        <translation>Logs (*.png *.jpg *.ico);;Any files(*.*)</translation>
    </message>
    <message>
        <source>Invalid ICON</source>
        <translation>Invalid ICON</translation>
    </message>
    <message>
        <source>the Icon file is invalid</source>
        <translation>the Icon file is invalid</translation>
    </message>
    <message>
        <source>Line Style</source>
        <translation>Line Style</translation>
    </message>
    <message>
        <source>Please choose the log file!</source>
        <translation>Please choose the log file!</translation>
    </message>
    <message>
        <source>The log file does not exist!</source>
        <translation>The log file does not exist!</translation>
    </message>
    <message>
        <source>Please choose the KMZ file!</source>
        <translation>Please choose the KMZ file!</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number!</source>
        <translation>&quot;%1&quot; is not a number!</translation>
    </message>
    <message>
        <source>The icon size must be a whole number from 1 to %1!</source>
        <translation>The icon size must be a whole number from 1 to %1!</translation>
    </message>
    <message>
        <source>Processed Epoch %1, Processed Data %2 %3</source>
        <translation>Processed Epoch %1, Processed Data %2 %3</translation>
    </message>
    <message>
        <source>KMZ Generation complete</source>
        <translation>KMZ Generation complete</translation>
    </message>
    <message>
        <source>No epoch of the log has a position solution: the track is empty.</source>
        <translation>No epoch of the log has a position solution: the track is empty.</translation>
    </message>
    <message>
        <source>The log file cannot be opened: %1</source>
        <translation>The log file cannot be opened: %1</translation>
    </message>
    <message>
        <source>The KMZ file cannot be created: %1</source>
        <translation>The KMZ file cannot be created: %1</translation>
    </message>
    <message>
        <source>The KMZ file is the log file!</source>
        <translation>The KMZ file is the log file!</translation>
    </message>
    <message>
        <source>The KMZ file could not be written, nothing was kept: %1</source>
        <translation>The KMZ file could not be written, nothing was kept: %1</translation>
    </message>
    <message>
        <source>teal</source>
        <translation>teal</translation>
    </message>
    <message>
        <source>green</source>
        <translation>green</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>yellow</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>red</source>
        <translation>red</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>pink</translation>
    </message>
    <message>
        <source>purple</source>
        <translation>purple</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>darkblue</source>
        <translation>darkblue</translation>
    </message>
    <message>
        <source>black</source>
        <translation>black</translation>
    </message>
    <message>
        <source>brown</source>
        <translation>brown</translation>
    </message>
    <message>
        <source>gray</source>
        <translation>gray</translation>
    </message>
    <message>
        <source>white</source>
        <translation>white</translation>
    </message>
</context>
<context>
    <name>QLonAndLatConvertDiag</name>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Degree Min Sec</source>
        <translation>Degree Min Sec</translation>
    </message>
    <message>
        <source>Latitude and longitude to XYZ</source>
        <translation>Latitude and longitude to XYZ</translation>
    </message>
    <message>
        <source>XYZ to Latitude and longitude</source>
        <translation>XYZ to Latitude and longitude</translation>
    </message>
    <message>
        <source>Weeks seconds to UTC</source>
        <translation>Weeks seconds to UTC</translation>
    </message>
    <message>
        <source>UTC to Weeks seconds</source>
        <translation>UTC to Weeks seconds</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number!</source>
        <translation>&quot;%1&quot; is not a number!</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Degree &apos;</source>
        <translation>Degree &apos;</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>Degree </translation>
    </message>
    <message>
        <source>The minutes and seconds must be below 60!</source>
        <translation>The minutes and seconds must be below 60!</translation>
    </message>
    <message>
        <source>The input format is not correct, please enter the complete Pos information!</source>
        <translation>The input format is not correct, please enter the complete Pos information!</translation>
    </message>
    <message>
        <source>The input format is not correct, please enter the complete NMEA information!</source>
        <translation>The input format is not correct, please enter the complete NMEA information!</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>Lon</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>Lat</translation>
    </message>
    <message>
        <source>Hei</source>
        <translation>Hei</translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Please enter the value of longitude or X!!!</source>
        <translation>Please enter the value of longitude or X!!!</translation>
    </message>
    <message>
        <source>Please enter the value of latitude or Y!!!</source>
        <translation>Please enter the value of latitude or Y!!!</translation>
    </message>
    <message>
        <source>Please enter the value of Z!!!</source>
        <translation>Please enter the value of Z!!!</translation>
    </message>
    <message>
        <source>The latitude must lie between -90 and 90!</source>
        <translation>The latitude must lie between -90 and 90!</translation>
    </message>
    <message>
        <source>The longitude must lie between -180 and 180!</source>
        <translation>The longitude must lie between -180 and 180!</translation>
    </message>
    <message>
        <source>X, Y, Z and the height must lie between -1000000000 and 1000000000 m!</source>
        <translation>X, Y, Z and the height must lie between -1000000000 and 1000000000 m!</translation>
    </message>
    <message>
        <source>The leap seconds must lie between -%1 and %1!</source>
        <translation>The leap seconds must lie between -%1 and %1!</translation>
    </message>
    <message>
        <source>The week must lie between 0 and %1!</source>
        <translation>The week must lie between 0 and %1!</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC Time</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>The date must lie between 1980/1/6 and 2099/12/31!</source>
        <translation>The date must lie between 1980/1/6 and 2099/12/31!</translation>
    </message>
    <message>
        <source>Please enter the value of Week!!!</source>
        <translation>Please enter the value of Week!!!</translation>
    </message>
    <message>
        <source>Please enter the value of Week Second!!!</source>
        <translation>Please enter the value of Week Second!!!</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number!</source>
        <translation>&quot;%1&quot; is not a whole number!</translation>
    </message>
    <message>
        <source>The week seconds must be below 604800!</source>
        <translation>The week seconds must be below 604800!</translation>
    </message>
</context>
</TS>
