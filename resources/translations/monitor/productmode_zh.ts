<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QProductModeDiag</name>
    <message>
        <source>PortName</source>
        <translation>端口名</translation>
    </message>
    <message>
        <source>BoardIp</source>
        <translation>板卡 IP</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Product Mode</source>
        <translation>生产模式</translation>
    </message>
    <message>
        <source>IP Segment:</source>
        <translation>IP 网段：</translation>
    </message>
    <message>
        <source>Image Path:</source>
        <translation>固件路径：</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>打开固件</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation>刷新列表</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>警告</translation>
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
        <source>the IP segment %1 is not four numbers from 0 to 255</source>
        <translation>IP 网段 %1 不是四个 0 到 255 的数字</translation>
    </message>
    <message>
        <source>%1 is not an address of four numbers from 0 to 255</source>
        <translation>%1 不是由四个 0 到 255 的数字组成的地址</translation>
    </message>
    <message>
        <source>%1 is outside the segment %2.%3.%4.x</source>
        <translation>%1 不在网段 %2.%3.%4.x 内</translation>
    </message>
    <message>
        <source>%1 is not a board's address: its last number must be from %2 to %3</source>
        <translation>%1 不是板卡地址：最后一个数字必须在 %2 到 %3 之间</translation>
    </message>
    <message>
        <source>Firmware path error, please reenter!</source>
        <translation>固件路径错误，请重新输入！</translation>
    </message>
    <message>
        <source>The image file does not exist: %1</source>
        <translation>固件文件不存在：%1</translation>
    </message>
    <message>
        <source>The IP segment must be four numbers from 0 to 255, as 192.168.1.100: %1</source>
        <translation>IP 网段必须是四个 0 到 255 的数字，如 192.168.1.100：%1</translation>
    </message>
    <message>
        <source>No address from %1 to %2 is left in the segment %3 for: %4</source>
        <translation>网段 %3 中已没有 %1 到 %2 的地址可分配给：%4</translation>
    </message>
    <message>
        <source>%1 is given to another board</source>
        <translation>%1 已分配给另一块板卡</translation>
    </message>
    <message>
        <source>Refused: %1</source>
        <translation>已拒绝：%1</translation>
    </message>
    <message>
        <source>These boards were not configured:</source>
        <translation>以下板卡未配置：</translation>
    </message>
    <message>
        <source>Configuring %1</source>
        <translation>正在配置 %1</translation>
    </message>
    <message>
        <source>Update script not found: %1</source>
        <translation>未找到升级脚本：%1</translation>
    </message>
    <message>
        <source>Stopped by the watchdog after %1 s</source>
        <translation>运行 %1 秒后被看门狗停止</translation>
    </message>
    <message>
        <source>Updated</source>
        <translation>已升级</translation>
    </message>
    <message>
        <source>Script failed, exit code %1</source>
        <translation>脚本失败，退出码 %1</translation>
    </message>
    <message>
        <source>Script crashed</source>
        <translation>脚本崩溃</translation>
    </message>
    <message>
        <source>The script could not start: %1</source>
        <translation>脚本无法启动：%1</translation>
    </message>
    <message>
        <source>Updating %1</source>
        <translation>正在升级 %1</translation>
    </message>
</context>
</TS>
