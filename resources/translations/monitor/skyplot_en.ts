<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>QSkyPlotDiag</name>
    <message>
        <source>SkyPlot</source>
        <translation>SkyPlot</translation>
    </message>
</context>
</TS>
