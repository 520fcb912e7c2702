<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QINSDiag</name>
    <message>
        <source>INS Status:</source>
        <translation>INS Status:</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>Lat :</source>
        <translation>Lat :</translation>
    </message>
    <message>
        <source>Lon :</source>
        <translation>Lon :</translation>
    </message>
    <message>
        <source>Height :</source>
        <translation>Height :</translation>
    </message>
    <message>
        <source>North :</source>
        <translation>North :</translation>
    </message>
    <message>
        <source>East :</source>
        <translation>East :</translation>
    </message>
    <message>
        <source>Down :</source>
        <translation>Down :</translation>
    </message>
    <message>
        <source>Roll :</source>
        <translation>Roll :</translation>
    </message>
    <message>
        <source>Pitch :</source>
        <translation>Pitch :</translation>
    </message>
    <message>
        <source>Yaw :</source>
        <translation>Yaw :</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Velocity</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>Attitude (deg):</source>
        <translation>Attitude (deg):</translation>
    </message>
    <message>
        <source>Error Estimates(1):</source>
        <translation>Error Estimates(1):</translation>
    </message>
    <message>
        <source>Error Estimates(1)</source>
        <translation>Error Estimates(1)</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>Degree </translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message>
        <source>[m]</source>
        <translation>[m]</translation>
    </message>
    <message>
        <source>[m/s]</source>
        <translation>[m/s]</translation>
    </message>
</context>
<context>
    <name>QCompass</name>
    <message>
        <source>ALT: %1 m</source>
        <translation>ALT: %1 m</translation>
    </message>
    <message>
        <source>H: %1 m</source>
        <translation>H: %1 m</translation>
    </message>
</context>
</TS>
