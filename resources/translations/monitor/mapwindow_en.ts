<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QFMapWindow</name>
    <message>
        <source>Map Window</source>
        <translation>Map Window</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Longitude</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Latitude</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC Time</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satellite</translation>
    </message>
    <message>
        <source>Velocity</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>Roll</source>
        <translation>Roll</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation>Pitch</translation>
    </message>
    <message>
        <source>Yaw</source>
        <translation>Yaw</translation>
    </message>
    <message>
        <source>Plot Trace</source>
        <translation>Plot Trace</translation>
    </message>
    <message>
        <source>Clean Trace</source>
        <translation>Clean Trace</translation>
    </message>
    <message>
        <source>BaiDu</source>
        <translation>BaiDu</translation>
    </message>
    <message>
        <source>MapBox</source>
        <translation>MapBox</translation>
    </message>
    <message>
        <source>Offline Map</source>
        <translation>Offline Map</translation>
    </message>
    <message>
        <source>Auto Center</source>
        <translation>Auto Center</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Loading</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>The map page could not be loaded.</source>
        <translation>The map page could not be loaded.</translation>
    </message>
    <message>
        <source>The offline map page is missing: %1</source>
        <translation>The offline map page is missing: %1</translation>
    </message>
    <message>
        <source>No access key is set for this map: write it into %1 (the README tells how). "Offline Map" needs none.</source>
        <translation>No access key is set for this map: write it into %1 (the README tells how). "Offline Map" needs none.</translation>
    </message>
    <message>
        <source>Not understood in %1: %2</source>
        <translation>Not understood in %1: %2</translation>
    </message>
    <message>
        <source>%1 is not read: %2.</source>
        <translation>%1 is not read: %2.</translation>
    </message>
    <message>
        <source>The map service cannot be reached, or its address or key is wrong. "Offline Map" works without a network.</source>
        <translation>The map service cannot be reached, or its address or key is wrong. "Offline Map" works without a network.</translation>
    </message>
</context>
<context>
    <name>QFHighLightDiag</name>
    <message>
        <source>Highlight</source>
        <translation>Highlight</translation>
    </message>
</context>
</TS>
