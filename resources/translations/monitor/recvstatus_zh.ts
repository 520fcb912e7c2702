<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QZvRecvStatusDiag</name>
    <message>
        <source>UTC Time</source>
        <translation>UTC 时间</translation>
    </message>
    <message>
        <source>Board Type:</source>
        <translation>板卡类型:</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>固件版本:</translation>
    </message>
    <message>
        <source>Solution:</source>
        <translation>解状态:</translation>
    </message>
    <message>
        <source>Lon:</source>
        <translation>经度:</translation>
    </message>
    <message>
        <source>Lat:</source>
        <translation>纬度:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>高度:</translation>
    </message>
    <message>
        <source>Orthometric Height</source>
        <translation>正高</translation>
    </message>
    <message>
        <source>DiffAge:</source>
        <translation>差分龄期:</translation>
    </message>
    <message>
        <source>Base ID :</source>
        <translation>基站ID :</translation>
    </message>
    <message>
        <source>Velocity:</source>
        <translation>速度:</translation>
    </message>
    <message>
        <source>Satellite:</source>
        <translation>卫星数:</translation>
    </message>
    <message>
        <source>INSUFFICIENT </source>
        <translation>无解 </translation>
    </message>
    <message>
        <source>SINGLE</source>
        <translation>单点</translation>
    </message>
    <message>
        <source>PSR_DIFF</source>
        <translation>伪距差分</translation>
    </message>
    <message>
        <source>NARROW_INT</source>
        <translation>固定解</translation>
    </message>
    <message>
        <source>NARROW_FLOAT</source>
        <translation>浮点解</translation>
    </message>
    <message>
        <source>Fixed Position</source>
        <translation>固定坐标</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>度 </translation>
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
    <name>QZvRecvStatusDialog</name>
    <message>
        <source>Receiver Status</source>
        <translation>接收机状态</translation>
    </message>
</context>
</TS>
