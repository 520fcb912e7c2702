<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QtCentral</name>
    <message>
        <source>Command Window</source>
        <translation>命令窗口</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>接收机状态</translation>
    </message>
    <message>
        <source>Debug Window</source>
        <translation>调试窗口</translation>
    </message>
    <message>
        <source>Map Window</source>
        <translation>地图窗口</translation>
    </message>
    <message>
        <source>Msg Filter</source>
        <translation>消息过滤</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>观测值解析</translation>
    </message>
    <message>
        <source>CN0 View</source>
        <translation>载噪比视图</translation>
    </message>
    <message>
        <source>Sky Plot</source>
        <translation>星空图</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>轨迹图</translation>
    </message>
    <message>
        <source>INS status</source>
        <translation>惯导状态</translation>
    </message>
    <message>
        <source>Height Plot</source>
        <translation>高程图</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The docking layout cannot be read from %1: %2. The default layout is used, and the file is left as it is.</source>
        <translation>无法读取停靠布局文件 %1：%2。将使用默认布局，该文件保持原样。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
</TS>