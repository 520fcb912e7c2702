<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QFMapWindow</name>
    <message>
        <source>Map Window</source>
        <translation>地图窗口</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高程</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC 时间</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>卫星数</translation>
    </message>
    <message>
        <source>Velocity</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Roll</source>
        <translation>横滚</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation>俯仰</translation>
    </message>
    <message>
        <source>Yaw</source>
        <translation>航向</translation>
    </message>
    <message>
        <source>Plot Trace</source>
        <translation>绘制轨迹</translation>
    </message>
    <message>
        <source>Clean Trace</source>
        <translation>清除轨迹</translation>
    </message>
    <message>
        <source>BaiDu</source>
        <translation>百度</translation>
    </message>
    <message>
        <source>MapBox</source>
        <translation>MapBox</translation>
    </message>
    <message>
        <source>Offline Map</source>
        <translation>离线地图</translation>
    </message>
    <message>
        <source>Auto Center</source>
        <translation>自动居中</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>正在加载</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>The map page could not be loaded.</source>
        <translation>无法加载地图页面。</translation>
    </message>
    <message>
        <source>The offline map page is missing: %1</source>
        <translation>缺少离线地图页面：%1</translation>
    </message>
    <message>
        <source>No access key is set for this map: write it into %1 (the README tells how). "Offline Map" needs none.</source>
        <translation>未设置此地图的访问密钥：请写入 %1（见 README）。“离线地图”不需要密钥。</translation>
    </message>
    <message>
        <source>Not understood in %1: %2</source>
        <translation>%1 中无法识别：%2</translation>
    </message>
    <message>
        <source>%1 is not read: %2.</source>
        <translation>未读取 %1：%2。</translation>
    </message>
    <message>
        <source>The map service cannot be reached, or its address or key is wrong. "Offline Map" works without a network.</source>
        <translation>无法连接地图服务，或其地址或密钥有误。“离线地图”无需网络。</translation>
    </message>
</context>
<context>
    <name>QFHighLightDiag</name>
    <message>
        <source>Highlight</source>
        <translation>功能亮点</translation>
    </message>
</context>
</TS>
