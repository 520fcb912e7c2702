<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QCN0BarChartDialog</name>
    <message>
        <source>Range</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>CN0</source>
        <translation>CN0</translation>
    </message>
    <message>
        <source>Pos Ant:</source>
        <translation>Pos Ant:</translation>
    </message>
    <message>
        <source>Vect Ant:</source>
        <translation>Vect Ant:</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>Signal</translation>
    </message>
</context>
</TS>
