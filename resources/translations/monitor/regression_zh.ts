<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QRegressionDiag</name>
    <message>
        <source>Dialog</source>
        <translation>回归测试</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>配置</translation>
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
        <source>LogPath</source>
        <translation>日志路径</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>测试总结</translation>
    </message>
    <message>
        <source>Port Name</source>
        <translation>端口名</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>复位</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>恢复出厂</translation>
    </message>
    <message>
        <source>Reacq</source>
        <translation>重捕获</translation>
    </message>
    <message>
        <source>SerialUpdate</source>
        <translation>串口升级</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>基站</translation>
    </message>
    <message>
        <source>BoardID</source>
        <translation>板卡ID</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>RelayPort</source>
        <translation>继电器端口</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Aisle</source>
        <translation>通道</translation>
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
        <source>The log path cannot be kept in %1: it will be asked for again.</source>
        <translation>日志路径无法保存到 %1：下次将再次询问。</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>These boards were not started:</source>
        <translation>以下板卡未启动：</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a whole number of cycles</source>
        <translation>%1“%2”不是整数次数</translation>
    </message>
    <message>
        <source>Reacq &quot;%1&quot; is not a number of hours</source>
        <translation>重捕获“%1”不是小时数</translation>
    </message>
    <message>
        <source>SerialUpdate &quot;%1&quot; is not an image list and baud rates</source>
        <translation>串口升级“%1”不是固件列表和波特率</translation>
    </message>
    <message>
        <source>the image list %1 cannot be read: %2</source>
        <translation>无法读取固件列表 %1：%2</translation>
    </message>
    <message>
        <source>the command file %1 cannot be read: %2</source>
        <translation>无法读取命令文件 %1：%2</translation>
    </message>
    <message>
        <source>Hz &quot;%1&quot; is not a whole number</source>
        <translation>频率“%1”不是整数</translation>
    </message>
    <message>
        <source>the relay address &quot;%1&quot; is not a whole number from %2 to %3</source>
        <translation>继电器地址“%1”不是 %2 到 %3 之间的整数</translation>
    </message>
    <message>
        <source>the relay channel &quot;%1&quot; is not a whole number from 1 to %2</source>
        <translation>继电器通道“%1”不是 1 到 %2 之间的整数</translation>
    </message>
    <message>
        <source>the relay port %1 is not open</source>
        <translation>继电器端口 %1 未打开</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>not started: its port has no tab</source>
        <translation>未启动：端口没有标签页</translation>
    </message>
    <message>
        <source>ended: its port was closed</source>
        <translation>已结束：端口已关闭</translation>
    </message>
    <message>
        <source>running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>%1 of %2 cycles passed</source>
        <translation>%2 次中 %1 次通过</translation>
    </message>
    <message>
        <source>%1 of %2 cycles reacquired</source>
        <translation>%2 次中 %1 次重新固定</translation>
    </message>
    <message>
        <source>%1 of %2 upgrades completed</source>
        <translation>%2 次升级中 %1 次完成</translation>
    </message>
    <message>
        <source>%1 of %2 commands sent</source>
        <translation>%2 条命令中已发送 %1 条</translation>
    </message>
    <message>
        <source>its value cannot be used</source>
        <translation>其设置值无法使用</translation>
    </message>
    <message>
        <source>no log file can be made under %1</source>
        <translation>无法在 %1 下创建日志文件</translation>
    </message>
    <message>
        <source>its file cannot be read</source>
        <translation>其文件无法读取</translation>
    </message>
    <message>
        <source>no start-up banner after the reset</source>
        <translation>复位后没有启动信息</translation>
    </message>
    <message>
        <source>no RTK fixed position after the reset</source>
        <translation>复位后没有 RTK 固定解</translation>
    </message>
    <message>
        <source>no start-up banner after the factory reset</source>
        <translation>恢复出厂后没有启动信息</translation>
    </message>
    <message>
        <source>no RTK fixed position after the RF came back</source>
        <translation>射频恢复后没有 RTK 固定解</translation>
    </message>
    <message>
        <source>the upgrade failed</source>
        <translation>升级失败</translation>
    </message>
    <message>
        <source>the upgrade did not end in time</source>
        <translation>升级未按时结束</translation>
    </message>
    <message>
        <source>no relay channel to power-cycle the board</source>
        <translation>没有可为板卡断电重启的继电器通道</translation>
    </message>
    <message>
        <source>the relay port %1 is not open: the board was not power-cycled</source>
        <translation>继电器端口 %1 未打开：板卡未断电重启</translation>
    </message>
    <message>
        <source>cycle %1: %2</source>
        <translation>第 %1 次：%2</translation>
    </message>
    <message>
        <source>%1 more</source>
        <translation>另有 %1 项</translation>
    </message>
    <message>
        <source>power-cycled through relay port %1 %2 times</source>
        <translation>经继电器端口 %1 断电重启 %2 次</translation>
    </message>
    <message>
        <source>Relay channels power-cycled: %1</source>
        <translation>已断电重启的继电器通道：%1</translation>
    </message>
    <message>
        <source>End of test</source>
        <translation>测试结束</translation>
    </message>
</context>
<context>
    <name>QRegressionConfig</name>
    <message>
        <source>Reset Cycle Index is Empty!!</source>
        <translation>复位循环次数为空！</translation>
    </message>
    <message>
        <source>Freset Cycle Index is Empty!!</source>
        <translation>恢复出厂设置循环次数为空！</translation>
    </message>
    <message>
        <source>Reacq Cycle Index is Empty!!</source>
        <translation>重捕获循环次数为空！</translation>
    </message>
    <message>
        <source>Serial update Path is Empty!!</source>
        <translation>串口升级路径为空！</translation>
    </message>
    <message>
        <source>Serial update BaudRate is Empty!!</source>
        <translation>串口升级波特率为空！</translation>
    </message>
    <message>
        <source>Command File Path is Empty!!</source>
        <translation>命令文件路径为空！</translation>
    </message>
    <message>
        <source>Regression Config</source>
        <translation>回归测试配置</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>复位</translation>
    </message>
    <message>
        <source>Freset</source>
        <translation>恢复出厂</translation>
    </message>
    <message>
        <source>Reacq</source>
        <translation>重捕获</translation>
    </message>
    <message>
        <source>SerialUpdate</source>
        <translation>串口升级</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>CycleIndex</source>
        <translation>次数</translation>
    </message>
    <message>
        <source>Hours; only whole hours count</source>
        <translation>小时；只计整小时</translation>
    </message>
    <message>
        <source>ImagePath:</source>
        <translation>固件列表：</translation>
    </message>
    <message>
        <source>BaudRate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>FilePath:</source>
        <translation>文件路径：</translation>
    </message>
    <message>
        <source>OpenImagePath</source>
        <translation>打开固件列表</translation>
    </message>
    <message>
        <source>SelectBaudRate</source>
        <translation>选择波特率</translation>
    </message>
    <message>
        <source>OpenFilePath</source>
        <translation>打开文件</translation>
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
        <source>Reset Cycle Index is Empty!!&#xd;
</source>
        <translation>复位次数为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Freset Cycle Index is Empty!!&#xd;
</source>
        <translation>恢复出厂次数为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Reacq Cycle Index is Empty!!&#xd;
</source>
        <translation>重捕获时长为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Serial update Path is Empty!!&#xd;
</source>
        <translation>串口升级路径为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Serial update BaudRate is Empty!!&#xd;
</source>
        <translation>串口升级波特率为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Command File Path is Empty!!&#xd;
</source>
        <translation>命令文件路径为空！！&#xd;
</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Command File</source>
        <translation>命令文件</translation>
    </message>
    <message>
        <source>Image Store Path</source>
        <translation>固件列表文件</translation>
    </message>
</context>
<context>
    <name>QSelectBaudRateDiag</name>
    <message>
        <source>Select BaudRate</source>
        <translation>选择波特率</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
