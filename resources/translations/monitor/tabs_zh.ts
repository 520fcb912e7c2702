<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>CPortTab</name>
    <message>
        <source>Close Window</source>
        <translation>关闭窗口</translation>
    </message>
    <message>
        <source>input error</source>
        <translation>输入错误</translation>
    </message>
    <message>
        <source>Invalid Port</source>
        <translation>无效端口</translation>
    </message>
    <message>
        <source>Out of Memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>USB busy</source>
        <translation>USB 忙</translation>
    </message>
    <message>
        <source>timeout</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>image refused by the receiver</source>
        <translation>接收机拒绝了固件</translation>
    </message>
    <message>
        <source>USB link lost</source>
        <translation>USB 连接丢失</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>Port connection failed<byte value="xd" />
1.Check for halvorne board !<byte value="xd" />
2.Baud rate does not match, Can right click on the port configuration, Change the configuration! </source>
        <translation>端口连接失败<byte value="xd" />
1.请检查是否为 Halvorne 板卡！<byte value="xd" />
2.波特率不匹配，可在端口上右键，修改端口配置！</translation>
    </message>
    <message>
        <source>Can not open Port</source>
        <translation>无法打开端口</translation>
    </message>
    <message>
        <source>Server refused</source>
        <translation>服务器拒绝连接</translation>
    </message>
    <message>
        <source>The connection was refused by the peer</source>
        <translation>连接被对方拒绝</translation>
    </message>
    <message>
        <source>The host was not found</source>
        <translation>找不到主机</translation>
    </message>
    <message>
        <source>Time out</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>Err ID %1</source>
        <translation>错误号 %1</translation>
    </message>
    <message>
        <source>Connect Err!
</source>
        <translation>连接错误！
</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Do you sure to un log</source>
        <translation>确定停止记录吗</translation>
    </message>
    <message>
        <source>Log file config</source>
        <translation>日志文件设置</translation>
    </message>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>日志 (*.log *.bin *.txt);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>文件已存在</translation>
    </message>
    <message>
        <source>Do you wish to replace</source>
        <translation>是否替换该文件</translation>
    </message>
    <message>
        <source>Log file default Folder</source>
        <translation>日志文件默认文件夹</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>重新连接</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开连接</translation>
    </message>
    <message>
        <source>Unlog</source>
        <translation>停止记录</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Coded Format</source>
        <translation>编码格式</translation>
    </message>
    <message>
        <source>Rename tab</source>
        <translation>重命名标签</translation>
    </message>
    <message>
        <source>please input New Tab Name:</source>
        <translation>请输入新的标签名：</translation>
    </message>
    <message>
        <source>Rename Err</source>
        <translation>重命名错误</translation>
    </message>
    <message>
        <source>The name already exists. Please retype it</source>
        <translation>该名称已存在，请重新输入</translation>
    </message>
    <message>
        <source>no file could be made</source>
        <translation>无法创建文件</translation>
    </message>
    <message>
        <source>Open File Fail</source>
        <translation>打开文件失败</translation>
    </message>
    <message>
        <source>The ErrMsg is %1,  Please check the relevant information of the error: %2
%3</source>
        <translation>错误码为 %1，请查看该错误的相关信息：%2
%3</translation>
    </message>
    <message>
        <source>Staging Error</source>
        <translation>阶段错误</translation>
    </message>
    <message>
        <source>Firmware upgrade in progress</source>
        <translation>固件升级正在进行</translation>
    </message>
    <message>
        <source>Not a serial port</source>
        <translation>不是串口</translation>
    </message>
    <message>
        <source>This feature only supports serial port upgrade!!</source>
        <translation>此功能只支持串口升级！！</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Rescue xmodem upgrade test in progress, are you sure to cancel the upgrade?</source>
        <translation>救援 XMODEM 升级正在进行，确定取消升级吗？</translation>
    </message>
    <message>
        <source>Confirm to start upgrade version?</source>
        <translation>确认开始升级固件版本？</translation>
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation>固件正在升级</translation>
    </message>
    <message>
        <source>Please try again later</source>
        <translation>请稍后再试</translation>
    </message>
    <message>
        <source>Only Uart or USB or TCPIP is valid for upgrade Firmware</source>
        <translation>只有串口、USB 或 TCP/IP 端口可以升级固件</translation>
    </message>
    <message>
        <source>Not Valid Halvorne Product</source>
        <translation>不是有效的 Halvorne 产品</translation>
    </message>
    <message>
        <source>Only support Halvorne product</source>
        <translation>只支持 Halvorne 产品</translation>
    </message>
    <message>
        <source>Firmware upgrading, Cancel?</source>
        <translation>固件正在升级，是否取消？</translation>
    </message>
    <message>
        <source>the firmware is upgrading, do you want to cancel current upgrading</source>
        <translation>固件正在升级，是否取消当前升级</translation>
    </message>
    <message>
        <source>The maximum baud matching rate for firmware updates is 460800, compared to the current %1!!</source>
        <translation>固件升级支持的最高波特率为 460800，当前为 %1！！</translation>
    </message>
    <message>
        <source>Image File</source>
        <translation>固件文件</translation>
    </message>
    <message>
        <source>image (*.img);;Any files(*.*)</source>
        <translation>固件 (*.img);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>Not a file: %1</source>
        <translation>不是文件：%1</translation>
    </message>
    <message>
        <source>The image cannot be read: %1</source>
        <translation>无法读取固件文件：%1</translation>
    </message>
    <message>
        <source>Do not power off during upgrade!!!</source>
        <translation>升级过程中请勿断电！！！</translation>
    </message>
    <message>
        <source>Image check sum invalid!</source>
        <translation>固件校验和无效！</translation>
    </message>
    <message>
        <source>Hardware mismatch!</source>
        <translation>硬件不匹配！</translation>
    </message>
    <message>
        <source>Firmware version mismatch!</source>
        <translation>固件版本不匹配！</translation>
    </message>
    <message>
        <source>Not Valid Image!</source>
        <translation>无效的固件文件！</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>未知错误</translation>
    </message>
    <message>
        <source>Are you sure to continue upgrading??</source>
        <translation>确定继续升级吗？</translation>
    </message>
    <message>
        <source>Firmware Upgrade complete</source>
        <translation>固件升级完成</translation>
    </message>
    <message>
        <source>Firmware Upgrade Fail</source>
        <translation>固件升级失败</translation>
    </message>
    <message>
        <source>Firmware Upgrade Fail<byte value="xd" />
Please reset the board !!!</source>
        <translation>固件升级失败<byte value="xd" />
请复位板卡！！！</translation>
    </message>
    <message>
        <source>Unknown error %1</source>
        <translation>未知错误 %1</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Port lost</source>
        <translation>端口已断开</translation>
    </message>
    <message>
        <source>The port&apos;s device went away (adapter unplugged or line closed).
Reconnect the port once it is back.</source>
        <translation>端口的设备已断开（适配器被拔出或线路已关闭）。
设备恢复后请重新连接端口。</translation>
    </message>
    <message>
        <source>The caster refused the user name or password (401 Unauthorized).</source>
        <translation>NTRIP 服务器拒绝了用户名或密码（401 未授权）。</translation>
    </message>
    <message>
        <source>The caster has no mount point &quot;%1&quot;.</source>
        <translation>NTRIP 服务器没有挂载点“%1”。</translation>
    </message>
    <message>
        <source>It offers no mount point.</source>
        <translation>它没有提供任何挂载点。</translation>
    </message>
    <message>
        <source>Mount points it offers: %1</source>
        <translation>它提供的挂载点：%1</translation>
    </message>
    <message>
        <source>(%1 in all)</source>
        <translation>（共 %1 个）</translation>
    </message>
</context>
</TS>