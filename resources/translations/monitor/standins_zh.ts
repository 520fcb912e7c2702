<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>CStandInWindow</name>
    <message>
        <source>This window is not built yet.</source>
        <translation>此窗口尚未实现。</translation>
    </message>
    <message>
        <source>Map Window</source>
        <translation>地图窗口</translation>
    </message>
    <message>
        <source>Sky Plot</source>
        <translation>星空图</translation>
    </message>
    <message>
        <source>CN0 View</source>
        <translation>载噪比视图</translation>
    </message>
    <message>
        <source>Track Plot</source>
        <translation>轨迹图</translation>
    </message>
    <message>
        <source>Height Plot</source>
        <translation>高程图</translation>
    </message>
    <message>
        <source>INS status</source>
        <translation>惯导状态</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>观测值解析</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>功能亮点</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息输出</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>接收机配置</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>接收机状态</translation>
    </message>
    <message>
        <source>Satellite Lock-out</source>
        <translation>卫星屏蔽</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <source>Userconfig</source>
        <translation>用户配置</translation>
    </message>
    <message>
        <source>Loglist Check</source>
        <translation>日志列表检查</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>惯导配置</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>配置检查</translation>
    </message>
    <message>
        <source>INS Config Check</source>
        <translation>惯导配置检查</translation>
    </message>
    <message>
        <source>NVM Log</source>
        <translation>NVM 日志</translation>
    </message>
    <message>
        <source>Medium Freq</source>
        <translation>中频数据输出</translation>
    </message>
    <message>
        <source>AutoLog</source>
        <translation>自动记录</translation>
    </message>
    <message>
        <source>Regression</source>
        <translation>回归测试</translation>
    </message>
    <message>
        <source>Hardware Test</source>
        <translation>硬件测试</translation>
    </message>
    <message>
        <source>Product Mode</source>
        <translation>生产模式</translation>
    </message>
</context>
</TS>
