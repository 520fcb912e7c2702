<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QZorvikMonitor</name>
    <message>
        <source>ZorvikMonitor</source>
        <translation>ZorvikMonitor</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>View</source>
        <translation>视图</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Replay</source>
        <translation>回放</translation>
    </message>
    <message>
        <source>Analysis</source>
        <translation>分析</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二进制</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>EVT</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Script</source>
        <translation>脚本</translation>
    </message>
    <message>
        <source>TQ</source>
        <translation>跟踪质量</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>窗口</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>布局</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Connect Ports</source>
        <translation>连接端口</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Quick Connect</source>
        <translation>快速连接</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>重连</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>LogDiag</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Log to File Config</source>
        <translation>记录到文件设置</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Receiver Status</source>
        <translation>接收机状态</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Web Server</source>
        <translation>网页服务</translation>
    </message>
    <message>
        <source>Visit Web Server</source>
        <translation>访问网页服务</translation>
    </message>
    <message>
        <source>Ctrl+U</source>
        <translation>Ctrl+U</translation>
    </message>
    <message>
        <source>CN0</source>
        <translation>载噪比</translation>
    </message>
    <message>
        <source>SkyPlot</source>
        <translation>星空图</translation>
    </message>
    <message>
        <source>INS Status</source>
        <translation>惯导状态</translation>
    </message>
    <message>
        <source>Range Parser</source>
        <translation>观测值解析</translation>
    </message>
    <message>
        <source>Position Track Plot</source>
        <translation>位置轨迹图</translation>
    </message>
    <message>
        <source>Position Height Plot</source>
        <translation>位置高程图</translation>
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
        <source>Command Window</source>
        <translation>命令窗口</translation>
    </message>
    <message>
        <source>M&amp;essageView</source>
        <translation>消息视图(&amp;E)</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>Show Message View</source>
        <translation>显示消息视图</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>惯导</translation>
    </message>
    <message>
        <source>Config INS</source>
        <translation>配置惯导</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Config Receiver</source>
        <translation>配置接收机</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>恢复出厂</translation>
    </message>
    <message>
        <source>Ctrl+Shift+F</source>
        <translation>Ctrl+Shift+F</translation>
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
        <source>INS Config Check</source>
        <translation>惯导配置检查</translation>
    </message>
    <message>
        <source>Stable Mode</source>
        <translation>稳定模式</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:11pt; font-weight:600; font-style:italic;&quot;&gt;Stable Mode&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:11pt; font-weight:600; font-style:italic;&quot;&gt;稳定模式&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>MsgFilter</source>
        <translation>消息过滤</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Upgrade FW</source>
        <translation>升级固件</translation>
    </message>
    <message>
        <source>Ctrl+K</source>
        <translation>Ctrl+K</translation>
    </message>
    <message>
        <source>AutoLog</source>
        <translation>自动记录</translation>
    </message>
    <message>
        <source>Alt+2</source>
        <translation>Alt+2</translation>
    </message>
    <message>
        <source>KMZ Gen</source>
        <translation>生成KMZ</translation>
    </message>
    <message>
        <source>Hex to Binary</source>
        <translation>HEX转二进制</translation>
    </message>
    <message>
        <source>Send XModem</source>
        <translation>XModem发送</translation>
    </message>
    <message>
        <source>NVM Log</source>
        <translation>NVM日志</translation>
    </message>
    <message>
        <source>Medium Freq</source>
        <translation>中频数据</translation>
    </message>
    <message>
        <source>Rescue Modem</source>
        <translation>救砖模式</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>Moxelin转换</translation>
    </message>
    <message>
        <source>Longitude and latitude conversion</source>
        <translation>经纬度转换</translation>
    </message>
    <message>
        <source>Replay File</source>
        <translation>回放文件</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>RTCM</source>
        <translation>RTCM</translation>
    </message>
    <message>
        <source>CMR</source>
        <translation>CMR</translation>
    </message>
    <message>
        <source>Alt+Q</source>
        <translation>Alt+Q</translation>
    </message>
    <message>
        <source>Alt+W</source>
        <translation>Alt+W</translation>
    </message>
    <message>
        <source>Set Script</source>
        <translation>设置脚本</translation>
    </message>
    <message>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>配置检查</translation>
    </message>
    <message>
        <source>Alt+1</source>
        <translation>Alt+1</translation>
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
    <message>
        <source>Simplify</source>
        <translation>简洁</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>高级</translation>
    </message>
    <message>
        <source>Professional</source>
        <translation>专业</translation>
    </message>
    <message>
        <source>Classical</source>
        <translation>经典</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>功能亮点</translation>
    </message>
    <message>
        <source>Rename All Tabs</source>
        <translation>全部重命名</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>ReconnectAll</source>
        <translation>全部重连</translation>
    </message>
    <message>
        <source>DisconnectAll</source>
        <translation>全部断开</translation>
    </message>
    <message>
        <source>File Replay Control</source>
        <translation>文件回放控制</translation>
    </message>
    <message>
        <source>File Replay control only works on valid file replay port</source>
        <translation>文件回放控制只对有效的文件回放端口有效</translation>
    </message>
    <message>
        <source>Command Window (Send CMD All Ports)</source>
        <translation>命令窗口（发送命令到所有端口）</translation>
    </message>
    <message>
        <source>Send Commands to All Sessions</source>
        <translation>发送命令到所有会话</translation>
    </message>
    <message>
        <source>The converter %1 could not be started.</source>
        <translation>无法启动转换程序 %1。</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>询问</translation>
    </message>
    <message>
        <source>Are you sure you want to go into Stablemode?</source>
        <translation>确定要进入稳定模式吗？</translation>
    </message>
    <message>
        <source>After entering, the receiver information cannot be viewed.</source>
        <translation>进入后将无法查看接收机信息。</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Are you sure you want to exit stable mode?</source>
        <translation>确定要退出稳定模式吗？</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>输入路径</translation>
    </message>
    <message>
        <source>Please input record TQ path</source>
        <translation>请输入跟踪质量记录路径</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The input is not the path!</source>
        <translation>输入的不是路径！</translation>
    </message>
    <message>
        <source>Do you wish to close all the ports</source>
        <translation>是否关闭所有端口</translation>
    </message>
</context>
</TS>
