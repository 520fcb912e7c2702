<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>RecvConfig</name>
    <message>
        <source>Disable</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Network Configuration-Configure</source>
        <translation>网络配置</translation>
    </message>
    <message>
        <source>Configure Ethernet</source>
        <translation>配置以太网</translation>
    </message>
    <message>
        <source>IP Mode</source>
        <translation>IP模式</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP地址</translation>
    </message>
    <message>
        <source>Net Mask</source>
        <translation>子网掩码</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>网关</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>主机名</translation>
    </message>
    <message>
        <source>Change Configuration</source>
        <translation>修改配置</translation>
    </message>
    <message>
        <source>Geographical</source>
        <translation>地理位置</translation>
    </message>
    <message>
        <source>Reference Latitude</source>
        <translation>参考纬度</translation>
    </message>
    <message>
        <source>Reference Longitude</source>
        <translation>参考经度</translation>
    </message>
    <message>
        <source>Reference Height</source>
        <translation>参考高度</translation>
    </message>
    <message>
        <source>[m]</source>
        <translation>[米]</translation>
    </message>
    <message>
        <source>Load Current Position</source>
        <translation>载入当前位置</translation>
    </message>
    <message>
        <source>Current Position</source>
        <translation>当前位置</translation>
    </message>
    <message>
        <source>Position Averaging</source>
        <translation>位置平均</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高度</translation>
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
        <source>Elevation Mask</source>
        <translation>截止高度角</translation>
    </message>
    <message>
        <source>RTK Elevation Mask</source>
        <translation>RTK截止高度角</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Enable All</source>
        <translation>全部启用</translation>
    </message>
    <message>
        <source>Disable All</source>
        <translation>全部禁用</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>服务器</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>客户端</translation>
    </message>
    <message>
        <source>Ntrip Format</source>
        <translation>Ntrip格式</translation>
    </message>
    <message>
        <source>Server Name</source>
        <translation>服务器地址</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Mount Point</source>
        <translation>挂载点</translation>
    </message>
    <message>
        <source>NetConfig</source>
        <translation>网络配置</translation>
    </message>
    <message>
        <source>RefStation</source>
        <translation>基准站</translation>
    </message>
    <message>
        <source>PPS</source>
        <translation>PPS</translation>
    </message>
    <message>
        <source>Sat Enable</source>
        <translation>卫星启用</translation>
    </message>
</context>
<context>
    <name>QZvRecvConfig</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Get PPSConfigList Fail!!</source>
        <translation>获取PPS配置失败！！</translation>
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
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>该接收机的端口未打开：没有发送任何命令。</translation>
    </message>
    <message>
        <source>The satellites in use on the %1 page have not been read from the receiver yet: nothing was sent. Wait for its reply, or choose %2 or %3 first.</source>
        <translation>尚未从接收机读到%1页上在用的卫星：没有发送任何命令。请等待接收机的应答，或先选择“%2”或“%3”。</translation>
    </message>
    <message>
        <source>%1 needs four numbers from 0 to 255.</source>
        <translation>%1需要四个0到255之间的数字。</translation>
    </message>
    <message>
        <source>%1 must be one word, without blanks.</source>
        <translation>%1必须是一个词，不能含空格。</translation>
    </message>
    <message>
        <source>%1 needs degrees from 0 to %2, and minutes and seconds from 0 to below 60, without a sign (N/S and E/W give the hemisphere).</source>
        <translation>%1的度须在0到%2之间，分和秒须不小于0且小于60，不带正负号（半球由N/S和E/W选择）。</translation>
    </message>
    <message>
        <source>%1 must be a number.</source>
        <translation>%1必须是数字。</translation>
    </message>
    <message>
        <source>Please input PPSconfig Width!</source>
        <translation>请输入PPS脉冲宽度！</translation>
    </message>
    <message>
        <source>%1 must be a number from %2 to %3.</source>
        <translation>%1必须是%2到%3之间的数字。</translation>
    </message>
    <message>
        <source>PPSconfig Width</source>
        <translation>PPS脉冲宽度</translation>
    </message>
    <message>
        <source>PPSconfig Width is More than 1000 us!</source>
        <translation>PPS脉冲宽度超过1000微秒！</translation>
    </message>
    <message>
        <source>PPSconfig Period</source>
        <translation>PPS周期</translation>
    </message>
    <message>
        <source>PPSconfig RF Delay</source>
        <translation>PPS射频延迟</translation>
    </message>
    <message>
        <source>PPSconfig User Delay</source>
        <translation>PPS用户延迟</translation>
    </message>
    <message>
        <source>Please input Port</source>
        <translation>请输入端口</translation>
    </message>
    <message>
        <source>Please input Password</source>
        <translation>请输入密码</translation>
    </message>
    <message>
        <source>Please input Mount Point</source>
        <translation>请输入挂载点</translation>
    </message>
    <message>
        <source>Please input Server Name</source>
        <translation>请输入服务器地址</translation>
    </message>
    <message>
        <source>Please input Username </source>
        <translation>请输入用户名</translation>
    </message>
    <message>
        <source>Please choose Server or Client.</source>
        <translation>请选择服务器或客户端。</translation>
    </message>
    <message>
        <source>%1 must not contain &quot;:&quot;.</source>
        <translation>%1不能含有&quot;:&quot;。</translation>
    </message>
    <message>
        <source>The receiver&apos;s network mode is not known: choose DHCP or STATIC.</source>
        <translation>接收机的网络模式未知：请选择 DHCP 或 STATIC。</translation>
    </message>
</context>
<context>
    <name>QLockOutDiag</name>
    <message>
        <source>QLockOutDiag</source>
        <translation>卫星锁定</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>启用</translation>
    </message>
</context>
</TS>
