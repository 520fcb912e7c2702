<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QHeightPlot</name>
    <message>
        <source>GPS time of week (s)</source>
        <translation>GPS 周内秒 (s)</translation>
    </message>
    <message>
        <source>Orthometric height (m)</source>
        <translation>正高 (m)</translation>
    </message>
    <message>
        <source>Height (m)</source>
        <translation>高程 (m)</translation>
    </message>
    <message>
        <source>HeightPlot</source>
        <translation>高程图</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高程</translation>
    </message>
    <message>
        <source>Orthometric height</source>
        <translation>正高</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Auto Scale</source>
        <translation>自动缩放</translation>
    </message>
</context>
<context>
    <name>QTrackPlot</name>
    <message>
        <source>↑ North (m)</source>
        <translation>↑ 北 (m)</translation>
    </message>
    <message>
        <source>East (m) →</source>
        <translation>东 (m) →</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>轨迹图</translation>
    </message>
    <message>
        <source>Begin/Pause</source>
        <translation>开始/暂停</translation>
    </message>
    <message>
        <source>Auto Scale</source>
        <translation>自动缩放</translation>
    </message>
    <message>
        <source>Show Polyline</source>
        <translation>显示连线</translation>
    </message>
    <message>
        <source>Ranging</source>
        <translation>测距</translation>
    </message>
    <message>
        <source>Fix Ratio:</source>
        <translation>固定率：</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>复制到剪贴板</translation>
    </message>
    <message>
        <source>Set Center</source>
        <translation>设置中心点</translation>
    </message>
    <message>
        <source>Std:</source>
        <translation>标准差：</translation>
    </message>
    <message>
        <source>Distance: </source>
        <translation>距离：</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>距离</translation>
    </message>
</context>
<context>
    <name>QTrackPlotSetCenterDiag</name>
    <message>
        <source>SetCenter</source>
        <translation>设置中心点</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Hei</source>
        <translation>高程</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Err</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Please enter the value of longitude</source>
        <translation>请输入经度值</translation>
    </message>
    <message>
        <source>Please enter the value of latitude</source>
        <translation>请输入纬度值</translation>
    </message>
    <message>
        <source>The longitude must be a number from -180 to 180 degrees</source>
        <translation>经度须为 -180 到 180 度之间的数值</translation>
    </message>
    <message>
        <source>The latitude must be a number from -90 to 90 degrees</source>
        <translation>纬度须为 -90 到 90 度之间的数值</translation>
    </message>
    <message>
        <source>The height must be a number of metres</source>
        <translation>高程须为以米为单位的数值</translation>
    </message>
</context>
</TS>
