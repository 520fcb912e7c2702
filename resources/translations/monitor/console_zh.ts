<?xml version="1.0" encoding="utf-8"?>
<TS version="2.1" language="zh_CN">
<context>
    <name>CZvAboutDiag</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>ZorvikMonitor v%1, 2026</source>
        <translation>ZorvikMonitor v%1，2026</translation>
    </message>
    <message>
        <source>Built with Qt %1</source>
        <translation>基于 Qt %1 构建</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
</context>
<context>
    <name>FDebugWindow</name>
    <message>
        <source>Debug</source>
        <translation>调试</translation>
    </message>
</context>
<context>
    <name>QButtonBar</name>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>The command presets cannot be read from %1: %2. Changes to them are not saved while the monitor runs, so that the file stays as it is.</source>
        <translation>无法读取预设命令文件 %1：%2。本次运行期间对预设命令的修改不会保存，以保持该文件原样。</translation>
    </message>
    <message>
        <source>The command presets are not saved: %1 could not be read, and saving would replace it.</source>
        <translation>预设命令未保存：无法读取 %1，保存会覆盖该文件。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>The command presets cannot be saved to %1</source>
        <translation>无法将预设命令保存到 %1</translation>
    </message>
    <message>
        <source>The preset file cannot hold this change: it would grow beyond %1 KB.</source>
        <translation>预设文件无法容纳此更改：文件将超过 %1 KB。</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Group Name</source>
        <translation>分组名称</translation>
    </message>
    <message>
        <source>please input Group Name:</source>
        <translation>请输入分组名称：</translation>
    </message>
    <message>
        <source>Group Already Exist !</source>
        <translation>分组已存在！</translation>
    </message>
    <message>
        <source>The preset file cannot keep this group name: remove &quot;:::&quot;, &quot;#######&quot;, &quot;@CR&quot; and &quot;@LF&quot;, and a &quot;:&quot; at its end.</source>
        <translation>预设文件无法保存此分组名称：请删除 &quot;:::&quot;、&quot;#######&quot;、&quot;@CR&quot; 和 &quot;@LF&quot;，以及末尾的 &quot;:&quot;。</translation>
    </message>
    <message>
        <source>The preset file cannot keep this button: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at the ends of its texts.</source>
        <translation>预设文件无法保存此按钮：请删除 &quot;:::&quot;、&quot;,,,&quot;、&quot;;;;&quot;、&quot;@CR&quot;、&quot;@LF&quot; 和 &quot;#######&quot;，以及文字两端的 &quot;:&quot;、&quot;,&quot; 或 &quot;;&quot;。</translation>
    </message>
    <message>
        <source>Command Preset</source>
        <translation>预设命令</translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation>添加分组</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>删除分组</translation>
    </message>
    <message>
        <source>New Button</source>
        <translation>新建按钮</translation>
    </message>
    <message>
        <source>Edit Button</source>
        <translation>编辑按钮</translation>
    </message>
    <message>
        <source>Delete Button</source>
        <translation>删除按钮</translation>
    </message>
    <message>
        <source>Copy Content</source>
        <translation>复制内容</translation>
    </message>
</context>
<context>
    <name>QButtonBarEditDialog</name>
    <message>
        <source>Edit Button</source>
        <translation>编辑按钮</translation>
    </message>
    <message>
        <source>Label  Name</source>
        <translation>标签名称</translation>
    </message>
    <message>
        <source>Send String</source>
        <translation>发送字符串</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
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
    <name>QButtonEdit</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The preset file cannot keep this label or send string: remove &quot;:::&quot;, &quot;,,,&quot;, &quot;;;;&quot;, &quot;@CR&quot;, &quot;@LF&quot; and &quot;#######&quot;, and a &quot;:&quot;, &quot;,&quot; or &quot;;&quot; at its ends.</source>
        <translation>预设文件无法保存此标签或发送字符串：请删除 &quot;:::&quot;、&quot;,,,&quot;、&quot;;;;&quot;、&quot;@CR&quot;、&quot;@LF&quot; 和 &quot;#######&quot;，以及两端的 &quot;:&quot;、&quot;,&quot; 或 &quot;;&quot;。</translation>
    </message>
</context>
<context>
    <name>QCMDInput</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The command history cannot be written to %1: %2.</source>
        <translation>无法将命令历史写入 %1：%2。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Send Commands to All Sessions</source>
        <translation>发送命令到所有会话</translation>
    </message>
    <message>
        <source>Line Mode</source>
        <translation>换行模式</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Hex Send</source>
        <translation>十六进制发送</translation>
    </message>
    <message>
        <source>Updating</source>
        <translation>正在升级</translation>
    </message>
    <message>
        <source>The board card in the upgrade, do not enter the command!!</source>
        <translation>板卡正在升级，请勿输入命令！！</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The hexadecimal data is garbled!</source>
        <translation>十六进制数据有误！</translation>
    </message>
    <message>
        <source>no port is connected</source>
        <translation>没有已连接的端口</translation>
    </message>
    <message>
        <source>no port is open</source>
        <translation>没有打开的端口</translation>
    </message>
    <message>
        <source>%1 is disconnected</source>
        <translation>%1 已断开</translation>
    </message>
    <message>
        <source>the connection of %1 failed (%2)</source>
        <translation>%1 连接失败（%2）</translation>
    </message>
    <message>
        <source>No port takes this command: %1.</source>
        <translation>没有端口接收此命令：%1。</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>it does not exist</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it is larger than %1 KB</source>
        <translation>文件大于 %1 KB</translation>
    </message>
    <message>
        <source>it cannot be opened or read</source>
        <translation>文件无法打开或读取</translation>
    </message>
    <message>
        <source>it cannot be opened for writing</source>
        <translation>文件无法以写入方式打开</translation>
    </message>
    <message>
        <source>writing to it failed</source>
        <translation>写入失败</translation>
    </message>
</context>
</TS>
