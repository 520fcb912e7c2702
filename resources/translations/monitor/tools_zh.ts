<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>HextoBinDiag</name>
    <message>
        <source>Hex To Binary</source>
        <translation>十六进制转二进制</translation>
    </message>
    <message>
        <source>Input File Path:</source>
        <translation>输入文件路径：</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>打开日志</translation>
    </message>
    <message>
        <source>Out File Path:</source>
        <translation>输出文件路径：</translation>
    </message>
    <message>
        <source>Processed Lines</source>
        <translation>已处理行数</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>处理</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>KMZGenDiag</name>
    <message>
        <source>KMZ Gen Dialog</source>
        <translation>KMZ 生成</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>日志文件</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>打开日志</translation>
    </message>
    <message>
        <source>KMZ File</source>
        <translation>KMZ 文件</translation>
    </message>
    <message>
        <source>Open KMZ</source>
        <translation>打开 KMZ</translation>
    </message>
    <message>
        <source>Display Name</source>
        <translation>显示名称</translation>
    </message>
    <message>
        <source>Ref Message Type</source>
        <translation>参考消息类型</translation>
    </message>
    <message>
        <source>Display Speed</source>
        <translation>显示速度</translation>
    </message>
    <message>
        <source>Height Force Zero</source>
        <translation>高度置零</translation>
    </message>
    <message>
        <source>Display Pos Type</source>
        <translation>显示定位类型</translation>
    </message>
    <message>
        <source>Display Heading</source>
        <translation>显示航向</translation>
    </message>
    <message>
        <source>Tag Offset</source>
        <translation>标签偏移</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Icon Style</source>
        <translation>图标样式</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Line Style</source>
        <translation>线条样式</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Processed Lines</source>
        <translation>已处理行数</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>处理</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>LonAndLatConvertDiag</name>
    <message>
        <source>Longitude and latitude conversion</source>
        <translation>经纬度转换</translation>
    </message>
    <message>
        <source>Lon and Lat</source>
        <translation>经纬度</translation>
    </message>
    <message>
        <source>Input Format</source>
        <translation>输入格式</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>输出格式</translation>
    </message>
    <message>
        <source>Out Three Format</source>
        <translation>输出三种格式</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Log or Sentence</source>
        <translation>日志或语句</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Degree Min Sec</source>
        <translation>度分秒</translation>
    </message>
    <message>
        <source>Conversion</source>
        <translation>转换</translation>
    </message>
    <message>
        <source>Coordinate Transformation</source>
        <translation>坐标转换</translation>
    </message>
    <message>
        <source>Time Cycle</source>
        <translation>时间转换</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>周</translation>
    </message>
    <message>
        <source>Week Seconds</source>
        <translation>周内秒</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC 时间</translation>
    </message>
    <message>
        <source>GPS LeapSeconds </source>
        <translation>GPS 闰秒 </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>QHextoBinDiag</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
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
        <source>Please input File Path!</source>
        <translation>请输入文件路径！</translation>
    </message>
    <message>
        <source>The input file is empty</source>
        <translation>输入文件为空</translation>
    </message>
    <message>
        <source>There is some garbled code in the file!</source>
        <translation>文件中有乱码！</translation>
    </message>
    <message>
        <source>Characters that are no hexadecimal digits: %1; the first, %2, is on line %3.</source>
        <translation>非十六进制数字的字符：%1 个；第一个 %2 在第 %3 行。</translation>
    </message>
    <message>
        <source>Succeed</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Hex to binary conversion successful</source>
        <translation>十六进制转二进制成功</translation>
    </message>
    <message>
        <source>The input file cannot be opened: %1</source>
        <translation>无法打开输入文件：%1</translation>
    </message>
    <message>
        <source>The output file cannot be created: %1</source>
        <translation>无法创建输出文件：%1</translation>
    </message>
    <message>
        <source>The output file is the input file!</source>
        <translation>输出文件就是输入文件！</translation>
    </message>
    <message>
        <source>The conversion failed and wrote no output: %1</source>
        <translation>转换失败，未写入输出：%1</translation>
    </message>
</context>
<context>
    <name>QKMZGenDiag</name>
    <message>
        <source>Logs (*.log *.bin *.txt);;Any files(*.*)</source>
        <translation>日志 (*.log *.bin *.txt);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Log file config</source>
        <translation>日志文件设置</translation>
    </message>
    <message>
        <source>KMZ file config</source>
        <translation>KMZ 文件设置</translation>
    </message>
    <message>
        <source>Set Icon file</source>
        <translation>设置图标文件</translation>
    </message>
    <message>
        <source>Logs (*.png *.jpg *.ico);;Any files(*.*)</source>
        <translation>图片 (*.png *.jpg *.ico);;所有文件(*.*)</translation>
    </message>
    <message>
        <source>Invalid ICON</source>
        <translation>无效图标</translation>
    </message>
    <message>
        <source>the Icon file is invalid</source>
        <translation>图标文件无效</translation>
    </message>
    <message>
        <source>Line Style</source>
        <translation>线条样式</translation>
    </message>
    <message>
        <source>Please choose the log file!</source>
        <translation>请选择日志文件！</translation>
    </message>
    <message>
        <source>The log file does not exist!</source>
        <translation>日志文件不存在！</translation>
    </message>
    <message>
        <source>Please choose the KMZ file!</source>
        <translation>请选择 KMZ 文件！</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number!</source>
        <translation>“%1”不是数字！</translation>
    </message>
    <message>
        <source>The icon size must be a whole number from 1 to %1!</source>
        <translation>图标大小必须是 1 到 %1 的整数！</translation>
    </message>
    <message>
        <source>Processed Epoch %1, Processed Data %2 %3</source>
        <translation>已处理历元 %1，已处理数据 %2 %3</translation>
    </message>
    <message>
        <source>KMZ Generation complete</source>
        <translation>KMZ 生成完成</translation>
    </message>
    <message>
        <source>No epoch of the log has a position solution: the track is empty.</source>
        <translation>日志中没有带定位解的历元：轨迹为空。</translation>
    </message>
    <message>
        <source>The log file cannot be opened: %1</source>
        <translation>无法打开日志文件：%1</translation>
    </message>
    <message>
        <source>The KMZ file cannot be created: %1</source>
        <translation>无法创建 KMZ 文件：%1</translation>
    </message>
    <message>
        <source>The KMZ file is the log file!</source>
        <translation>KMZ 文件就是日志文件！</translation>
    </message>
    <message>
        <source>The KMZ file could not be written, nothing was kept: %1</source>
        <translation>KMZ 文件写入失败，未保留任何内容：%1</translation>
    </message>
    <message>
        <source>teal</source>
        <translation>青色</translation>
    </message>
    <message>
        <source>green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>橙色</translation>
    </message>
    <message>
        <source>red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>粉色</translation>
    </message>
    <message>
        <source>purple</source>
        <translation>紫色</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>darkblue</source>
        <translation>深蓝色</translation>
    </message>
    <message>
        <source>black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>brown</source>
        <translation>棕色</translation>
    </message>
    <message>
        <source>gray</source>
        <translation>灰色</translation>
    </message>
    <message>
        <source>white</source>
        <translation>白色</translation>
    </message>
</context>
<context>
    <name>QLonAndLatConvertDiag</name>
    <message>
        <source>Degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Degree Min Sec</source>
        <translation>度分秒</translation>
    </message>
    <message>
        <source>Latitude and longitude to XYZ</source>
        <translation>经纬度转 XYZ</translation>
    </message>
    <message>
        <source>XYZ to Latitude and longitude</source>
        <translation>XYZ 转经纬度</translation>
    </message>
    <message>
        <source>Weeks seconds to UTC</source>
        <translation>周秒转 UTC</translation>
    </message>
    <message>
        <source>UTC to Weeks seconds</source>
        <translation>UTC 转周秒</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number!</source>
        <translation>“%1”不是数字！</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Degree &apos;</source>
        <translation>度 &apos;</translation>
    </message>
    <message>
        <source>Degree </source>
        <translation>度 </translation>
    </message>
    <message>
        <source>The minutes and seconds must be below 60!</source>
        <translation>分和秒必须小于 60！</translation>
    </message>
    <message>
        <source>The input format is not correct, please enter the complete Pos information!</source>
        <translation>输入格式不正确，请输入完整的位置信息！</translation>
    </message>
    <message>
        <source>The input format is not correct, please enter the complete NMEA information!</source>
        <translation>输入格式不正确，请输入完整的 NMEA 信息！</translation>
    </message>
    <message>
        <source>Lon</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>Lat</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>Hei</source>
        <translation>高度</translation>
    </message>
    <message>
        <source>m</source>
        <translation>米</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Please enter the value of longitude or X!!!</source>
        <translation>请输入经度或 X 的值！！！</translation>
    </message>
    <message>
        <source>Please enter the value of latitude or Y!!!</source>
        <translation>请输入纬度或 Y 的值！！！</translation>
    </message>
    <message>
        <source>Please enter the value of Z!!!</source>
        <translation>请输入 Z 的值！！！</translation>
    </message>
    <message>
        <source>The latitude must lie between -90 and 90!</source>
        <translation>纬度必须在 -90 到 90 之间！</translation>
    </message>
    <message>
        <source>The longitude must lie between -180 and 180!</source>
        <translation>经度必须在 -180 到 180 之间！</translation>
    </message>
    <message>
        <source>X, Y, Z and the height must lie between -1000000000 and 1000000000 m!</source>
        <translation>X、Y、Z 和高度必须在 -1000000000 到 1000000000 米之间！</translation>
    </message>
    <message>
        <source>The leap seconds must lie between -%1 and %1!</source>
        <translation>闰秒必须在 -%1 到 %1 之间！</translation>
    </message>
    <message>
        <source>The week must lie between 0 and %1!</source>
        <translation>周数必须在 0 到 %1 之间！</translation>
    </message>
    <message>
        <source>UTC Time</source>
        <translation>UTC 时间</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>周</translation>
    </message>
    <message>
        <source>The date must lie between 1980/1/6 and 2099/12/31!</source>
        <translation>日期必须在 1980/1/6 到 2099/12/31 之间！</translation>
    </message>
    <message>
        <source>Please enter the value of Week!!!</source>
        <translation>请输入周的值！！！</translation>
    </message>
    <message>
        <source>Please enter the value of Week Second!!!</source>
        <translation>请输入周内秒的值！！！</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number!</source>
        <translation>“%1”不是整数！</translation>
    </message>
    <message>
        <source>The week seconds must be below 604800!</source>
        <translation>周内秒必须小于 604800！</translation>
    </message>
</context>
</TS>
