<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QSkyPlotDiag</name>
    <message>
        <source>SkyPlot</source>
        <translation>星空图</translation>
    </message>
</context>
</TS>
