<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutMoxelinDialog</name>
    <message>
        <source>Version %1</source>
        <translation>版本 %1</translation>
    </message>
</context>
<context>
    <name>CMoxelinMainWindow</name>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>Halvorne Moxelin</source>
        <translation>Halvorne Moxelin</translation>
    </message>
    <message>
        <source> (Ver:</source>
        <translation> (版本:</translation>
    </message>
    <message>
        <source>%1)</source>
        <translation>%1)</translation>
    </message>
    <message>
        <source>Nav File</source>
        <translation>导航文件</translation>
    </message>
    <message>
        <source>open file</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Can not get start and end time!
please enter again!!!</source>
        <translation>无法获取起止时间！
请重新输入！</translation>
    </message>
    <message>
        <source>GPS Nav File</source>
        <translation>GPS 导航文件</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>源文件</translation>
    </message>
    <message>
        <source>Observation File</source>
        <translation>观测文件</translation>
    </message>
    <message>
        <source>GPS Navigation File</source>
        <translation>GPS 导航文件</translation>
    </message>
    <message>
        <source>GLO Navigation File</source>
        <translation>GLO 导航文件</translation>
    </message>
    <message>
        <source>GAL Navigation File</source>
        <translation>GAL 导航文件</translation>
    </message>
    <message>
        <source>BDS Navigation File</source>
        <translation>BDS 导航文件</translation>
    </message>
    <message>
        <source>QZS Navigation File</source>
        <translation>QZS 导航文件</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>输出文件</translation>
    </message>
    <message>
        <source>File Open Error</source>
        <translation>文件打开错误</translation>
    </message>
    <message>
        <source>Can not open </source>
        <translation>无法打开</translation>
    </message>
    <message>
        <source>. Please check your path.</source>
        <translation>，请检查路径。</translation>
    </message>
    <message>
        <source>Source File is empty. Nothing to convert.</source>
        <translation>源文件为空，没有可转换的数据。</translation>
    </message>
    <message>
        <source>Can not write to the folder of %1:
%2
Please check your path.</source>
        <translation>无法写入%1所在的文件夹：
%2
请检查路径。</translation>
    </message>
    <message>
        <source>%1 is the Source File. Please choose another path.</source>
        <translation>%1与源文件相同，请选择其他路径。</translation>
    </message>
    <message>
        <source>The sample interval must be at least 0.001 seconds.</source>
        <translation>采样间隔不能小于 0.001 秒。</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
    <message>
        <source>Load complete</source>
        <translation>加载完成</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>转换中</translation>
    </message>
    <message>
        <source>Moxelin Complete</source>
        <translation>转换完成</translation>
    </message>
    <message>
        <source>Moxelin Failed</source>
        <translation>转换失败</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Moxelin Complete.</source>
        <translation>转换完成。</translation>
    </message>
    <message>
        <source>Unknown File</source>
        <translation>未知文件</translation>
    </message>
    <message>
        <source>Unknown file type. Please check your file.</source>
        <translation>未知的文件类型，请检查文件。</translation>
    </message>
    <message>
        <source>Run Error</source>
        <translation>运行错误</translation>
    </message>
    <message>
        <source>Log data error. Can not decode rightly.</source>
        <translation>日志数据错误，无法正确解码。</translation>
    </message>
    <message>
        <source>No observation epoch was converted. Please check the log type, the systems and the sample extraction.</source>
        <translation>没有转换任何观测历元，请检查日志类型、卫星系统和采样提取设置。</translation>
    </message>
    <message>
        <source>Moxelin Complete, but the ephemeris logs could not be saved beside the output files.</source>
        <translation>转换完成，但星历日志无法保存到输出文件旁。</translation>
    </message>
    <message>
        <source>Moxelin Complete, but carrier phases could not be kept in the compressed logs and were left out: %1.</source>
        <translation>转换完成，但有载波相位无法保存在压缩日志中，已被舍弃：%1。</translation>
    </message>
    <message>
        <source>RINEX 2 has no mixed navigation file:
each system is written to a navigation file of its own type.</source>
        <translation>RINEX 2 没有混合导航文件：
每个系统写入其自身类型的导航文件。</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>文件写入错误</translation>
    </message>
    <message>
        <source>%1 could not be written completely (disk full or I/O error).</source>
        <translation>%1 未能完整写入（磁盘已满或 I/O 错误）。</translation>
    </message>
    <message>
        <source>No log of the source could be converted.</source>
        <translation>源文件中没有可转换的日志。</translation>
    </message>
    <message>
        <source>View Help</source>
        <translation>查看帮助</translation>
    </message>
    <message>
        <source>Can not open the help document:
%1</source>
        <translation>无法打开帮助文档：
%1</translation>
    </message>
    <message>
        <source>Moxelin failed with status %1.</source>
        <translation>转换失败，状态码 %1。</translation>
    </message>
</context>
<context>
    <name>CUserPrompt</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>MoxelinAboutWindow</name>
    <message>
        <source>About Moxelin</source>
        <translation>关于 Moxelin</translation>
    </message>
    <message>
        <source>Halvorne Moxelin</source>
        <translation>Halvorne Moxelin</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>MoxelinMainWindow</name>
    <message>
        <source>Log Trans Rinex </source>
        <translation>日志转 RINEX </translation>
    </message>
    <message>
        <source>this is tab 1</source>
        <translation>第 1 页</translation>
    </message>
    <message>
        <source>Obs Type</source>
        <translation>观测类型</translation>
    </message>
    <message>
        <source>System</source>
        <translation>卫星系统</translation>
    </message>
    <message>
        <source>Header Settings</source>
        <translation>文件头设置</translation>
    </message>
    <message>
        <source>Edit Obs Header</source>
        <translation>编辑观测文件头</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Edit Nav Header</source>
        <translation>编辑导航文件头</translation>
    </message>
    <message>
        <source>Trans Settings</source>
        <translation>转换设置</translation>
    </message>
    <message>
        <source>Rinex Version</source>
        <translation>RINEX 版本</translation>
    </message>
    <message>
        <source>Log Type</source>
        <translation>日志类型</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>输出设置</translation>
    </message>
    <message>
        <source>Enable Mix Type Nav File</source>
        <translation>输出混合导航文件</translation>
    </message>
    <message>
        <source>Enable Sample Extract</source>
        <translation>启用数据抽取</translation>
    </message>
    <message>
        <source>Extract Settings</source>
        <translation>抽取设置</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>源文件</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Obs File</source>
        <translation>观测文件</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>GPS Nav File</source>
        <translation>GPS 导航文件</translation>
    </message>
    <message>
        <source>GLO Nav File</source>
        <translation>GLO 导航文件</translation>
    </message>
    <message>
        <source>GAL Nav File</source>
        <translation>GAL 导航文件</translation>
    </message>
    <message>
        <source>BDS Nav File</source>
        <translation>BDS 导航文件</translation>
    </message>
    <message>
        <source>QZS Nav File</source>
        <translation>QZS 导航文件</translation>
    </message>
    <message>
        <source>Moxelin</source>
        <translation>转换</translation>
    </message>
    <message>
        <source>Rinex Trans Log  </source>
        <translation>RINEX 转日志  </translation>
    </message>
    <message>
        <source>this is tab 2</source>
        <translation>第 2 页</translation>
    </message>
    <message>
        <source>BDSEphm Data Type</source>
        <translation>BDS 星历类型</translation>
    </message>
    <message>
        <source>RANGECMP Flag</source>
        <translation>RANGECMP 选项</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>输出文件</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>Log Trans Log</source>
        <translation>日志转日志</translation>
    </message>
    <message>
        <source>this is tab 3</source>
        <translation>第 3 页</translation>
    </message>
    <message>
        <source>Trans Type</source>
        <translation>转换类型</translation>
    </message>
    <message>
        <source>RANGE to RANGECMP</source>
        <translation>RANGE 转 RANGECMP</translation>
    </message>
    <message>
        <source>RANGECMP to RANGE</source>
        <translation>RANGECMP 转 RANGE</translation>
    </message>
    <message>
        <source>RANGE to RANGECMP4</source>
        <translation>RANGE 转 RANGECMP4</translation>
    </message>
    <message>
        <source>RANGECMP4 to RANGE</source>
        <translation>RANGECMP4 转 RANGE</translation>
    </message>
    <message>
        <source>Log to Log</source>
        <translation>日志转日志</translation>
    </message>
    <message>
        <source>Log to Binex</source>
        <translation>日志转 BINEX</translation>
    </message>
    <message>
        <source>Binex to log</source>
        <translation>BINEX 转日志</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>输出格式</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二进制</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>LANGUAGE</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>HELP</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Open Log Source File</source>
        <translation>打开日志源文件</translation>
    </message>
    <message>
        <source>Open Rinex Obs File</source>
        <translation>打开 RINEX 观测文件</translation>
    </message>
    <message>
        <source>Open Log File</source>
        <translation>打开日志文件</translation>
    </message>
    <message>
        <source>Log Trans Rinex</source>
        <translation>日志转 RINEX</translation>
    </message>
    <message>
        <source>Rinex Trans Log</source>
        <translation>RINEX 转日志</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>View Help</source>
        <translation>查看帮助</translation>
    </message>
    <message>
        <source>About Moxelin</source>
        <translation>关于 Moxelin</translation>
    </message>
</context>
<context>
    <name>NavHeaderSettingsWindow</name>
    <message>
        <source>Nav Header Settings</source>
        <translation>导航文件头设置</translation>
    </message>
    <message>
        <source>Program Name</source>
        <translation>程序名称</translation>
    </message>
    <message>
        <source>Agency Name</source>
        <translation>机构名称</translation>
    </message>
    <message>
        <source>GPS LeapSecond</source>
        <translation>GPS 跳秒</translation>
    </message>
    <message>
        <source>BDS LeapSecond</source>
        <translation>BDS 跳秒</translation>
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
    <name>ObsHeaderSettingsWindow</name>
    <message>
        <source>Obs Header Settings</source>
        <translation>观测文件头设置</translation>
    </message>
    <message>
        <source>Required</source>
        <translation>必填信息</translation>
    </message>
    <message>
        <source>Creating Program:</source>
        <translation>生成程序名称：</translation>
    </message>
    <message>
        <source>Creating Agency:</source>
        <translation>生成机构名称：</translation>
    </message>
    <message>
        <source>Marker Name:</source>
        <translation>测站名称：</translation>
    </message>
    <message>
        <source>Marker Type:</source>
        <translation>测站类型：</translation>
    </message>
    <message>
        <source>Marker Number:</source>
        <translation>测站编号：</translation>
    </message>
    <message>
        <source>Observer:</source>
        <translation>观测员：</translation>
    </message>
    <message>
        <source>Agency Name:</source>
        <translation>观测机构：</translation>
    </message>
    <message>
        <source>Receiver Number:</source>
        <translation>接收机编号：</translation>
    </message>
    <message>
        <source>Receiver Version:</source>
        <translation>接收机版本：</translation>
    </message>
    <message>
        <source>Receiver Type:</source>
        <translation>接收机类型：</translation>
    </message>
    <message>
        <source>Antenna Number:</source>
        <translation>天线编号：</translation>
    </message>
    <message>
        <source>Antenna Type:</source>
        <translation>天线类型：</translation>
    </message>
    <message>
        <source>Approx Position</source>
        <translation>测站近似坐标</translation>
    </message>
    <message>
        <source>Antenna Delta</source>
        <translation>天线偏移量</translation>
    </message>
    <message>
        <source>Position of ARP</source>
        <translation>天线参考点偏移</translation>
    </message>
    <message>
        <source>Ant B.Sight</source>
        <translation>天线视轴方向</translation>
    </message>
    <message>
        <source>Zero Dir of Ant</source>
        <translation>天线零方向</translation>
    </message>
    <message>
        <source>Center of Mass</source>
        <translation>质心位置</translation>
    </message>
    <message>
        <source>Azimuth of ZeroDir</source>
        <translation>零方向方位角</translation>
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
    <name>SampleExtract</name>
    <message>
        <source>SampleExtract</source>
        <translation>数据抽取</translation>
    </message>
    <message>
        <source>Display Format</source>
        <translation>时间显示格式</translation>
    </message>
    <message>
        <source>Sample Extract</source>
        <translation>采样抽取</translation>
    </message>
    <message>
        <source>Sample Rate</source>
        <translation>采样间隔</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Start Time</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>End Time</source>
        <translation>结束时间</translation>
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
