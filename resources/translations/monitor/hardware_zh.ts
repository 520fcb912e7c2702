<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QHardwareDiag</name>
    <message>
        <source>Port Name</source>
        <translation>端口名</translation>
    </message>
    <message>
        <source>ImagePath</source>
        <translation>固件路径</translation>
    </message>
    <message>
        <source>WaitTime</source>
        <translation>等待时间</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Passed</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>Not found Porttab</source>
        <translation>未找到端口页</translation>
    </message>
    <message>
        <source>Firmware upgrade failed</source>
        <translation>固件升级失败</translation>
    </message>
    <message>
        <source>Firmware upgrade timed out</source>
        <translation>固件升级超时</translation>
    </message>
    <message>
        <source>No version reply after the upgrade</source>
        <translation>升级后无版本应答</translation>
    </message>
    <message>
        <source>Firmware check failed</source>
        <translation>固件检查失败</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>No answer to the version query: not upgraded</source>
        <translation>版本查询无应答：未升级</translation>
    </message>
    <message>
        <source>No log file name free</source>
        <translation>没有可用的日志文件名</translation>
    </message>
    <message>
        <source>Hardware Test</source>
        <translation>硬件测试</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>LogPath</source>
        <translation>日志路径</translation>
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
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Open ImageStorPath File fail!</source>
        <translation>打开固件列表文件失败！</translation>
    </message>
    <message>
        <source>Path Input</source>
        <translation>路径输入</translation>
    </message>
    <message>
        <source>Please input Image Path</source>
        <translation>请输入固件列表路径</translation>
    </message>
    <message>
        <source>Please input Log Path</source>
        <translation>请输入日志路径</translation>
    </message>
    <message>
        <source>You did not enter a file name</source>
        <translation>未输入有效的文件名</translation>
    </message>
    <message>
        <source>The path cannot be saved in %1</source>
        <translation>路径无法保存到 %1</translation>
    </message>
    <message>
        <source> Please input the board image path</source>
        <translation> 请输入板卡固件路径</translation>
    </message>
    <message>
        <source> Please input the board log time</source>
        <translation> 请输入板卡记录时间</translation>
    </message>
    <message>
        <source>The image file does not exist: %1</source>
        <translation>固件文件不存在：%1</translation>
    </message>
    <message>
        <source>Board card recording data is completed</source>
        <translation>板卡数据记录完成</translation>
    </message>
    <message>
        <source>Failed:</source>
        <translation>失败：</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>完成</translation>
    </message>
</context>
</TS>
