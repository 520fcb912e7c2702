<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QAutoLogConfig</name>
    <message>
        <source>Log Config</source>
        <translation>记录配置</translation>
    </message>
    <message>
        <source>Point-in-time</source>
        <translation>定时</translation>
    </message>
    <message>
        <source>Time Period</source>
        <translation>时间周期</translation>
    </message>
    <message>
        <source>Normal Mode [Cycle Recording is Invalid in this mode]</source>
        <translation>普通模式 [此模式下循环记录无效]</translation>
    </message>
    <message>
        <source>cycle recording</source>
        <translation>循环记录</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Time Must Be Later Than Current Time !</source>
        <translation>时间必须晚于当前时间！</translation>
    </message>
    <message>
        <source>Time Period Must &gt; 0 !</source>
        <translation>时间周期必须大于 0！</translation>
    </message>
</context>
<context>
    <name>QAutoLogList</name>
    <message>
        <source>Computer</source>
        <translation>电脑</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>板卡</translation>
    </message>
    <message>
        <source>EVK</source>
        <translation>评估板</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>天线</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>基站</translation>
    </message>
    <message>
        <source>version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>M-Ant Link Chain</source>
        <translation>主天线链路</translation>
    </message>
    <message>
        <source>S-Ant Link Chain</source>
        <translation>从天线链路</translation>
    </message>
    <message>
        <source>ProductID</source>
        <translation>产品 ID</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Log Status</source>
        <translation>记录状态</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Auto Log</source>
        <translation>自动记录</translation>
    </message>
    <message>
        <source>Auto Reconnect</source>
        <translation>自动重连</translation>
    </message>
    <message>
        <source>The board list cannot be saved in %1: it would be larger than %2 KB</source>
        <translation>板卡列表无法保存到 %1：文件将超过 %2 KB</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>路径</translation>
    </message>
    <message>
        <source>Save Item Info</source>
        <translation>保存条目信息</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Unlog</source>
        <translation>停止记录</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>路径输入</translation>
    </message>
    <message>
        <source>Please input Log Path</source>
        <translation>请输入日志路径</translation>
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
        <source>The log path cannot be saved in %1</source>
        <translation>日志路径无法保存到 %1</translation>
    </message>
    <message>
        <source>The board list cannot be saved in %1</source>
        <translation>板卡列表无法保存到 %1</translation>
    </message>
    <message>
        <source>The board list %1 is not used: %2.</source>
        <translation>未使用板卡列表 %1：%2。</translation>
    </message>
    <message>
        <source>The log folder cannot be made under %1</source>
        <translation>无法在 %1 下创建日志文件夹</translation>
    </message>
    <message>
        <source>%1: all %2 log file names of %3 are used in %4; the port keeps its current file.</source>
        <translation>%1：%4 中 %3 的 %2 个日志文件名均已使用；端口继续写入当前文件。</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>记录中</translation>
    </message>
    <message>
        <source>Normal Log Mode</source>
        <translation>普通记录模式</translation>
    </message>
    <message>
        <source>UnLog</source>
        <translation>未记录</translation>
    </message>
</context>
</TS>
