<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QUserconfigDiag</name>
    <message>
        <source>Userconfig</source>
        <translation>用户配置</translation>
    </message>
    <message>
        <source>Reference Station Status</source>
        <translation>基准站状态</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Baseid:</source>
        <translation>基站ID:</translation>
    </message>
    <message>
        <source>Posave:</source>
        <translation>位置平均:</translation>
    </message>
    <message>
        <source>Fix:</source>
        <translation>固定:</translation>
    </message>
    <message>
        <source>Longitude:</source>
        <translation>经度:</translation>
    </message>
    <message>
        <source>latitude</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高度</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>The reference file %1 cannot be read (%2), so there is nothing to compare the receiver's lines with.</source>
        <translation>无法读取参考文件 %1（%2），接收机的配置行没有可比较的对象。</translation>
    </message>
    <message>
        <source>Only the receiver reports this line.</source>
        <translation>只有接收机报告了此行。</translation>
    </message>
    <message>
        <source>Only the reference file holds this line.</source>
        <translation>只有参考文件包含此行。</translation>
    </message>
</context>
</TS>
