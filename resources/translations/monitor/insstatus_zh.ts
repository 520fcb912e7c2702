<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QINSDiag</name>
    <message>
        <source>INS Status:</source>
        <translation>惯导状态:</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>惯导</translation>
    </message>
    <message>
        <source>Lat :</source>
        <translation>纬度 :</translation>
    </message>
    <message>
        <source>Lon :</source>
        <translation>经度 :</translation>
    </message>
    <message>
        <source>Height :</source>
        <translation>高度 :</translation>
    </message>
    <message>
        <source>North :</source>
        <translation>北向 :</translation>
    </message>
    <message>
        <source>East :</source>
        <translation>东向 :</translation>
    </message>
    <message>
        <source>Down :</source>
        <translation>地向 :</translation>
    </message>
    <message>
        <source>Roll :</source>
        <translation>横滚 :</translation>
    </message>
    <message>
        <source>Pitch :</source>
        <translation>俯仰 :</translation>
    </message>
    <message>
        <source>Yaw :</source>
        <translation>航向 :</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Velocity</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Attitude (deg):</source>
        <translation>姿态 (度):</translation>
    </message>
    <message>
        <source>Error Estimates(1):</source>
        <translation>误差估计(1):</translation>
    </message>
    <message>
        <source>Error Estimates(1)</source>
        <translation>误差估计(1)</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>度 </translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>[m]</source>
        <translation>[米]</translation>
    </message>
    <message>
        <source>[m/s]</source>
        <translation>[米/秒]</translation>
    </message>
</context>
<context>
    <name>QCompass</name>
    <message>
        <source>ALT: %1 m</source>
        <translation>海拔：%1 m</translation>
    </message>
    <message>
        <source>H: %1 m</source>
        <translation>椭高：%1 m</translation>
    </message>
</context>
</TS>
