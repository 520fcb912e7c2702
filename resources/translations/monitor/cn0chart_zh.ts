<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QCN0BarChartDialog</name>
    <message>
        <source>Range</source>
        <translation>观测值</translation>
    </message>
    <message>
        <source>CN0</source>
        <translation>载噪比</translation>
    </message>
    <message>
        <source>Pos Ant:</source>
        <translation>位置天线:</translation>
    </message>
    <message>
        <source>Vect Ant:</source>
        <translation>定向天线:</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>信号</translation>
    </message>
</context>
</TS>
