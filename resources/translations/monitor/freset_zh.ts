<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>QFresetDiag</name>
    <message>
        <source>Freset</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <source>Configure to Save</source>
        <translation>需保留的配置</translation>
    </message>
    <message>
        <source>User Config</source>
        <translation>用户配置</translation>
    </message>
    <message>
        <source>Msg Config</source>
        <translation>消息配置</translation>
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
<context>
    <name>QFresetConfig</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>No receiver port is open: nothing was sent.</source>
        <translation>没有打开的接收机端口：未发送任何内容。</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure to restore factory Settings?
The configuration will be cleared when the factory Settings are restored</source>
        <translation>确定要恢复出厂设置吗？
恢复出厂设置后配置将被清除</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The port of this receiver is not open any more: the factory reset was not done.</source>
        <translation>该接收机的端口已关闭：未恢复出厂设置。</translation>
    </message>
    <message>
        <source>The receiver did not send the settings to save: the factory reset was not done, and its settings are kept.</source>
        <translation>接收机未发送需保留的配置：未恢复出厂设置，其配置保持不变。</translation>
    </message>
    <message>
        <source>Userconfig List is empty</source>
        <translation>用户配置列表为空</translation>
    </message>
    <message>
        <source>The port of this receiver is not open any more: its settings were not sent again.</source>
        <translation>该接收机的端口已关闭：其配置未重新发送。</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Restore factory Settings successfully</source>
        <translation>恢复出厂设置成功</translation>
    </message>
    <message>
        <source>The receiver did not confirm the factory reset.</source>
        <translation>接收机未确认恢复出厂设置。</translation>
    </message>
</context>
</TS>
