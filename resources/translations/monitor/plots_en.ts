<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QHeightPlot</name>
    <message>
        <source>GPS time of week (s)</source>
        <translation>GPS time of week (s)</translation>
    </message>
    <message>
        <source>Orthometric height (m)</source>
        <translation>Orthometric height (m)</translation>
    </message>
    <message>
        <source>Height (m)</source>
        <translation>Height (m)</translation>
    </message>
    <message>
        <source>HeightPlot</source>
        <translation>HeightPlot</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Orthometric height</source>
        <translation>Orthometric height</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Auto Scale</source>
        <translation>Auto Scale</translation>
    </message>
</context>
<context>
    <name>QTrackPlot</name>
    <message>
        <source>↑ North (m)</source>
        <translation>↑ North (m)</translation>
    </message>
    <message>
        <source>East (m) →</source>
        <translation>East (m) →</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>Track Plot</translation>
    </message>
    <message>
        <source>Begin/Pause</source>
        <translation>Begin/Pause</translation>
    </message>
    <message>
        <source>Auto Scale</source>
        <translation>Auto Scale</translation>
    </message>
    <message>
        <source>Show Polyline</source>
        <translation>Show Polyline</translation>
    </message>
    <message>
        <source>Ranging</source>
        <translation>Ranging</translation>
    </message>
    <message>
        <source>Fix Ratio:</source>
        <translation>Fix Ratio:</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>SelectAll</translation>
    </message>
    <message>
        <source>clear</source>
        <translation>clear</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>Copy to Clipboard</translation>
    </message>
    <message>
        <source>Set Center</source>
        <translation>Set Center</translation>
    </message>
    <message>
        <source>Std:</source>
        <translation>Std:</translation>
    </message>
    <message>
        <source>Distance: </source>
        <translation>Distance: </translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Distance</translation>
    </message>
</context>
<context>
    <name>QTrackPlotSetCenterDiag</name>
    <message>
        <source>SetCenter</source>
        <translation>SetCenter</translation>
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
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Err</source>
        <translation>Err</translation>
    </message>
    <message>
        <source>Please enter the value of longitude</source>
        <translation>Please enter the value of longitude</translation>
    </message>
    <message>
        <source>Please enter the value of latitude</source>
        <translation>Please enter the value of latitude</translation>
    </message>
    <message>
        <source>The longitude must be a number from -180 to 180 degrees</source>
        <translation>The longitude must be a number from -180 to 180 degrees</translation>
    </message>
    <message>
        <source>The latitude must be a number from -90 to 90 degrees</source>
        <translation>The latitude must be a number from -90 to 90 degrees</translation>
    </message>
    <message>
        <source>The height must be a number of metres</source>
        <translation>The height must be a number of metres</translation>
    </message>
</context>
</TS>
