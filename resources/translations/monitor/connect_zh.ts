<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>PortListConnectDiag</name>
    <message>
        <source>Port Connect</source>
        <translation>端口连接</translation>
    </message>
    <message>
        <source>Port List</source>
        <translation>端口列表</translation>
    </message>
    <message>
        <source>Web List</source>
        <translation>网页列表</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Auto Detect</source>
        <translation>自动检测</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>QPortListConnectDiag</name>
    <message>
        <source>Port Name</source>
        <translation>端口名称</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Window Name</source>
        <translation>窗口名称</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Occupied</source>
        <translation>已占用</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>QReplayCfgDiag</name>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>400</source>
        <translation>400</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>Log file config</source>
        <translation>选择日志文件</translation>
    </message>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>日志 (*.log *.bin *.txt);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>Open replay file error</source>
        <translation>打开回放文件错误</translation>
    </message>
    <message>
        <source>File path can not be empty!</source>
        <translation>文件路径不能为空！</translation>
    </message>
    <message>
        <source>the File does not exist!</source>
        <translation>文件不存在！</translation>
    </message>
    <message>
        <source>it is not a file!</source>
        <translation>这不是一个文件！</translation>
    </message>
</context>
<context>
    <name>QuickConnectDiag</name>
    <message>
        <source>Quick Connect</source>
        <translation>快速连接</translation>
    </message>
    <message>
        <source>Uart</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Data bits:</source>
        <translation>数据位：</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>校验位：</translation>
    </message>
    <message>
        <source>Stop bits:</source>
        <translation>停止位：</translation>
    </message>
    <message>
        <source> Auto Detect </source>
        <translation> 自动检测 </translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>TCP/IP UDP Connect</source>
        <translation>TCP/IP UDP 连接</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>客户端</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>服务器</translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>服务器地址：</translation>
    </message>
    <message>
        <source>IP Port:</source>
        <translation>IP 端口：</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP 地址：</translation>
    </message>
    <message>
        <source>NTrip</source>
        <translation>NTrip</translation>
    </message>
    <message>
        <source>NTrip Mode</source>
        <translation>NTrip 模式</translation>
    </message>
    <message>
        <source>NTrip Client</source>
        <translation>NTrip 客户端</translation>
    </message>
    <message>
        <source>NTrip Server</source>
        <translation>NTrip 服务器</translation>
    </message>
    <message>
        <source>Server Name</source>
        <translation>服务器地址</translation>
    </message>
    <message>
        <source>MountPoint:</source>
        <translation>挂载点：</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>空格</translation>
    </message>
    <message>
        <source>(Can NOT Open)</source>
        <translation>（无法打开）</translation>
    </message>
    <message>
        <source>The USB devices cannot be listed: USB is not available to this program.</source>
        <translation>无法列出 USB 设备：本程序无法使用 USB。</translation>
    </message>
    <message>
        <source>No USB receiver found, and no other USB device is seen either: check the cable and that the receiver is powered.</source>
        <translation>未找到 USB 接收机，也未发现其他 USB 设备：请检查线缆以及接收机是否已通电。</translation>
    </message>
    <message>
        <source>No USB receiver found. USB devices seen:</source>
        <translation>未找到 USB 接收机。发现的 USB 设备：</translation>
    </message>
    <message>
        <source>(no product name)</source>
        <translation>（无产品名称）</translation>
    </message>
    <message>
        <source>If your receiver is among them, add its ID (VVVV:PPPP) as a line of %1 and open this window again.</source>
        <translation>如果其中有您的接收机，请把它的 ID（VVVV:PPPP）作为一行加入 %1，然后重新打开本窗口。</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened: permission denied. Install the udev rule for its ID (README, &quot;On Linux&quot;) and plug the receiver in again.</source>
        <translation>无法打开接收机 %1：权限不足。请为它的 ID 安装 udev 规则（见 README 的“On Linux”一节），然后重新插入接收机。</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened: it is busy, another program is using it. Close that program and open this window again.</source>
        <translation>无法打开接收机 %1：设备忙，另一个程序正在使用它。请关闭该程序，然后重新打开本窗口。</translation>
    </message>
    <message>
        <source>Device %1 cannot be opened: it has no receiver link interface, so its ID may belong to another device.</source>
        <translation>无法打开设备 %1：它没有接收机链路接口，它的 ID 可能属于其他设备。</translation>
    </message>
    <message>
        <source>Receiver %1 was unplugged.</source>
        <translation>接收机 %1 已拔出。</translation>
    </message>
    <message>
        <source>Receiver %1 cannot be opened.</source>
        <translation>无法打开接收机 %1。</translation>
    </message>
    <message>
        <source>These lines of %1 are no ID of the form VVVV:PPPP and are skipped:</source>
        <translation>%1 中的以下各行不是 VVVV:PPPP 形式的 ID，已跳过：</translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>第 %1 行</translation>
    </message>
    <message numerus="yes">
        <source>and %n more lines</source>
        <translation>
            <numerusform>另有 %n 行</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 cannot be read: %2. No receiver ID is added from it.</source>
        <translation>无法读取 %1：%2。未从中添加任何接收机 ID。</translation>
    </message>
    <message>
        <source>Server Name can not be null</source>
        <translation>服务器地址不能为空</translation>
    </message>
    <message>
        <source>IP Port</source>
        <translation>IP 端口</translation>
    </message>
    <message>
        <source>IP Port is invalid</source>
        <translation>IP 端口无效</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>严重错误</translation>
    </message>
    <message>
        <source>Port can not be NULL</source>
        <translation>端口不能为空</translation>
    </message>
    <message>
        <source>Auto Detecting</source>
        <translation>正在检测</translation>
    </message>
    <message>
        <source>Baudrate auto detect</source>
        <translation>波特率自动检测</translation>
    </message>
    <message>
        <source>Baudrate auto detect failed, reset to 115200</source>
        <translation>波特率自动检测失败，已恢复为 115200</translation>
    </message>
</context>
<context>
    <name>ReplayCfgDiag</name>
    <message>
        <source>Relay Settings</source>
        <translation>回放设置</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>文件：</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Position Message Type</source>
        <translation>定位消息类型</translation>
    </message>
    <message>
        <source>Replay Speed</source>
        <translation>回放速度</translation>
    </message>
    <message>
        <source>Start Point</source>
        <translation>起始位置</translation>
    </message>
    <message>
        <source>Replay</source>
        <translation>回放</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ServiceModel</name>
    <message>
        <source>Host name</source>
        <translation>主机名</translation>
    </message>
    <message>
        <source>Board Type</source>
        <translation>板卡类型</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Product ID</source>
        <translation>产品 ID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>序列号</translation>
    </message>
</context>
</TS>
