<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QZvINSConfigWindow</name>
    <message>
        <source>INS</source>
        <translation>组合导航</translation>
    </message>
    <message>
        <source>INS Enable</source>
        <translation>启用组合导航</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>Mounting Angles</source>
        <translation>安装角</translation>
    </message>
    <message>
        <source>GNSS Lever Arm</source>
        <translation>GNSS杆臂</translation>
    </message>
    <message>
        <source>Rear Wheel Lever Arm</source>
        <translation>后轮杆臂</translation>
    </message>
    <message>
        <source>Alignment Mode:</source>
        <translation>对准模式:</translation>
    </message>
    <message>
        <source>Heading</source>
        <translation>航向</translation>
    </message>
    <message>
        <source>degree</source>
        <translation>度</translation>
    </message>
    <message>
        <source>Alignment of speed threshold:</source>
        <translation>对准速度阈值:</translation>
    </message>
    <message>
        <source>[m/s]</source>
        <translation>[m/s]</translation>
    </message>
    <message>
        <source>Mag Enable</source>
        <translation>启用磁力计</translation>
    </message>
    <message>
        <source>Odo Enable</source>
        <translation>启用里程计</translation>
    </message>
    <message>
        <source>Receiver Dynamic model:</source>
        <translation>接收机动态模型:</translation>
    </message>
    <message>
        <source>Reference to IMU Mounting Angles [Deg]</source>
        <translation>参考系到IMU的安装角 [度]</translation>
    </message>
    <message>
        <source>Range:X:0~360°;Y :-90~90°;Z:-90~90°</source>
        <translation>范围:X:0~360°;Y :-90~90°;Z:-90~90°</translation>
    </message>
    <message>
        <source>X :</source>
        <translation>X :</translation>
    </message>
    <message>
        <source>Y :</source>
        <translation>Y :</translation>
    </message>
    <message>
        <source>Z :</source>
        <translation>Z :</translation>
    </message>
    <message>
        <source>1-σ ：</source>
        <translation>1-σ ：</translation>
    </message>
    <message>
        <source>1-σ :</source>
        <translation>1-σ :</translation>
    </message>
    <message>
        <source>Mounting angles automatic rough estimate:</source>
        <translation>安装角自动粗估计:</translation>
    </message>
    <message>
        <source>(If accuracy need improved, the user needs to input the precise Mounting Angle !)</source>
        <translation>（如需提高精度，请输入精确的安装角！）</translation>
    </message>
    <message>
        <source>( In IMU frame )</source>
        <translation>（IMU坐标系下）</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm [m]</source>
        <translation>IMU到主天线杆臂 [m]</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector [m]</source>
        <translation>主天线到从天线基线向量 [m]</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm [m]</source>
        <translation>IMU到车辆杆臂 [m]</translation>
    </message>
    <message>
        <source>Rear Wheel Lever Arm [m]</source>
        <translation>后轮杆臂 [m]</translation>
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
    <name>QZvINSConfig</name>
    <message>
        <source>DUAL ANTENNA</source>
        <translation>双天线</translation>
    </message>
    <message>
        <source>EXTERNAL HEADING</source>
        <translation>外部航向</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>该接收机的端口未打开：未发送任何命令。</translation>
    </message>
    <message>
        <source>Please choose an alignment mode.</source>
        <translation>请选择对准模式。</translation>
    </message>
    <message>
        <source>Please choose a receiver dynamic model.</source>
        <translation>请选择接收机动态模型。</translation>
    </message>
    <message>
        <source>The alignment speed threshold must be a number of m/s, such as 0.5.</source>
        <translation>对准速度阈值必须是以m/s为单位的数字，例如0.5。</translation>
    </message>
    <message>
        <source>Heading range is 0~360</source>
        <translation>航向范围为0~360</translation>
    </message>
    <message>
        <source>DEFAULT</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>LAND VEHICLE</source>
        <translation>陆地车辆</translation>
    </message>
    <message>
        <source>MARINE</source>
        <translation>船舶</translation>
    </message>
    <message>
        <source>FIXED WING</source>
        <translation>固定翼</translation>
    </message>
    <message>
        <source>VTOL</source>
        <translation>垂直起降</translation>
    </message>
    <message>
        <source>RAIL</source>
        <translation>轨道</translation>
    </message>
    <message>
        <source>LOW SPEED</source>
        <translation>低速</translation>
    </message>
    <message>
        <source>X range is -180~180 degree</source>
        <translation>X范围为-180~180度</translation>
    </message>
    <message>
        <source>X 1-sigma range is 0~45 degree</source>
        <translation>X 1-sigma范围为0~45度</translation>
    </message>
    <message>
        <source>y range is -180~180 degree</source>
        <translation>Y范围为-180~180度</translation>
    </message>
    <message>
        <source>y 1-sigma range is  0~45 degree</source>
        <translation>Y 1-sigma范围为0~45度</translation>
    </message>
    <message>
        <source>z range is -180~180 degree</source>
        <translation>Z范围为-180~180度</translation>
    </message>
    <message>
        <source>z 1-sigma range is  0~45 degree</source>
        <translation>Z 1-sigma范围为0~45度</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm X range is -100-100 m</source>
        <translation>IMU到主天线杆臂X范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm X 1-sigma range is 0~10 m</source>
        <translation>IMU到主天线杆臂X 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm Y range is -100~100 m</source>
        <translation>IMU到主天线杆臂Y范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm y 1-sigma range is 0~10m</source>
        <translation>IMU到主天线杆臂Y 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm Z range is -100~100 m</source>
        <translation>IMU到主天线杆臂Z范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm z 1-sigma range is 0~10m</source>
        <translation>IMU到主天线杆臂Z 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector X range is -100~100 m</source>
        <translation>主天线到从天线基线向量X范围为-100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector X 1-sigma range is 0~10m</source>
        <translation>主天线到从天线基线向量X 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector Y range is -100~100 m</source>
        <translation>主天线到从天线基线向量Y范围为-100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector y 1-sigma range is 0~10m</source>
        <translation>主天线到从天线基线向量Y 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector Z range is -100~100 m</source>
        <translation>主天线到从天线基线向量Z范围为-100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector z 1-sigma range is 0~10m</source>
        <translation>主天线到从天线基线向量Z 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm X range is -100~100 m</source>
        <translation>IMU到车辆杆臂X范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm X 1-sigma range is 0~10m</source>
        <translation>IMU到车辆杆臂X 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm y range is -100~100 m</source>
        <translation>IMU到车辆杆臂Y范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm y 1-sigma range is 0~10m</source>
        <translation>IMU到车辆杆臂Y 1-sigma范围为0~10 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm z range is -100~100 m</source>
        <translation>IMU到车辆杆臂Z范围为-100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm z 1-sigma range is 0~10m</source>
        <translation>IMU到车辆杆臂Z 1-sigma范围为0~10 m</translation>
    </message>
</context>
<context>
    <name>QINSConfigCheckDiag</name>
    <message>
        <source>INS Config Check</source>
        <translation>组合导航配置检查</translation>
    </message>
    <message>
        <source>INS Config</source>
        <translation>组合导航配置</translation>
    </message>
    <message>
        <source>Mount Angle Config</source>
        <translation>安装角配置</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Board Config</source>
        <translation>板卡配置</translation>
    </message>
    <message>
        <source>Mount Angle</source>
        <translation>安装角</translation>
    </message>
    <message>
        <source>Board Type</source>
        <translation>板卡类型</translation>
    </message>
    <message>
        <source>Board towards</source>
        <translation>板卡朝向</translation>
    </message>
    <message>
        <source>Antenna towards</source>
        <translation>天线朝向</translation>
    </message>
    <message>
        <source>Configuration item</source>
        <translation>配置项</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>%1: the receiver's INS configuration could not be read</source>
        <translation>%1：无法读取接收机的组合导航配置</translation>
    </message>
    <message>
        <source>The board orientation chosen has a mounting angle of %1°.</source>
        <translation>所选板卡朝向的安装角为 %1°。</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>板卡</translation>
    </message>
    <message>
        <source>NANO Receive</source>
        <translation>NANO接收机</translation>
    </message>
    <message>
        <source>VX Receive</source>
        <translation>VX接收机</translation>
    </message>
    <message>
        <source>Right Side Up</source>
        <translation>正面朝上</translation>
    </message>
    <message>
        <source>Coming Up Tails</source>
        <translation>背面朝上</translation>
    </message>
    <message>
        <source>Toward the front of car</source>
        <translation>朝向车头</translation>
    </message>
    <message>
        <source>Toward the left of car</source>
        <translation>朝向车左侧</translation>
    </message>
    <message>
        <source>Toward the end of car</source>
        <translation>朝向车尾</translation>
    </message>
    <message>
        <source>Toward the right of car</source>
        <translation>朝向车右侧</translation>
    </message>
    <message>
        <source>Translation</source>
        <translation>杆臂</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>坐标系</translation>
    </message>
    <message>
        <source>X Offset</source>
        <translation>X偏移</translation>
    </message>
    <message>
        <source>Y Offset</source>
        <translation>Y偏移</translation>
    </message>
    <message>
        <source>Z Offset</source>
        <translation>Z偏移</translation>
    </message>
    <message>
        <source>X Uncertainty</source>
        <translation>X不确定度</translation>
    </message>
    <message>
        <source>Y Uncertainty</source>
        <translation>Y不确定度</translation>
    </message>
    <message>
        <source>Z Uncertainty</source>
        <translation>Z不确定度</translation>
    </message>
    <message>
        <source>Translation Source</source>
        <translation>杆臂来源</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>旋转</translation>
    </message>
    <message>
        <source>Rotation Frame</source>
        <translation>旋转坐标系</translation>
    </message>
    <message>
        <source>X Rotation</source>
        <translation>X旋转</translation>
    </message>
    <message>
        <source>Y Rotation</source>
        <translation>Y旋转</translation>
    </message>
    <message>
        <source>Z Rotation</source>
        <translation>Z旋转</translation>
    </message>
    <message>
        <source>X Rotation Std</source>
        <translation>X旋转标准差</translation>
    </message>
    <message>
        <source>Y Rotation Std</source>
        <translation>Y旋转标准差</translation>
    </message>
    <message>
        <source>Z Rotation Std</source>
        <translation>Z旋转标准差</translation>
    </message>
    <message>
        <source>Rotation Source</source>
        <translation>旋转来源</translation>
    </message>
    <message>
        <source>IMU Type</source>
        <translation>IMU类型</translation>
    </message>
    <message>
        <source>Initial Alignment Velocity(m/s)</source>
        <translation>初始对准速度(m/s)</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>载体模型</translation>
    </message>
    <message>
        <source>Alignment Mode</source>
        <translation>对准模式</translation>
    </message>
    <message>
        <source>INS Receiver Status</source>
        <translation>组合导航接收机状态</translation>
    </message>
    <message>
        <source>INS Seed Mode</source>
        <translation>组合导航种子模式</translation>
    </message>
    <message>
        <source>INS Seed Validation</source>
        <translation>组合导航种子校验</translation>
    </message>
</context>
<context>
    <name>QConfigCheck</name>
    <message>
        <source>Pos:invalid </source>
        <translation>定位：无效 </translation>
    </message>
    <message>
        <source>The port has no output GNGGA
</source>
        <translation>该端口没有输出 GNGGA
</translation>
    </message>
    <message>
        <source>POS:Fixed Position</source>
        <translation>定位：固定坐标</translation>
    </message>
    <message>
        <source>Pos:%1</source>
        <translation>定位：%1</translation>
    </message>
    <message>
        <source>This is not zorvik board card!!
</source>
        <translation>这不是 Zorvik 板卡！
</translation>
    </message>
    <message>
        <source>Get VersionList Fail!!!
</source>
        <translation>获取版本信息失败！
</translation>
    </message>
    <message>
        <source>MasterSigNameList is null!!</source>
        <translation>主天线信号列表为空！</translation>
    </message>
    <message>
        <source>This Board not id!!
</source>
        <translation>此板卡没有 ID！
</translation>
    </message>
    <message>
        <source>Not found BoardType!!
</source>
        <translation>未找到板卡类型！
</translation>
    </message>
    <message>
        <source>Pos: not the current port</source>
        <translation>定位：不是当前端口</translation>
    </message>
    <message>
        <source>Not found FWVersion!!
</source>
        <translation>未找到固件版本！
</translation>
    </message>
    <message>
        <source>Not found SETINSROTATION configuration!!
</source>
        <translation>未找到 SETINSROTATION 配置！
</translation>
    </message>
    <message>
        <source>Not found Inscommand Status!!
</source>
        <translation>未找到 INSCOMMAND 状态！
</translation>
    </message>
    <message>
        <source>Not found SETINSTRANSLATION configuration!!
</source>
        <translation>未找到 SETINSTRANSLATION 配置！
</translation>
    </message>
    <message>
        <source>Not found Align Mode!!
</source>
        <translation>未找到对准模式！
</translation>
    </message>
    <message>
        <source>Open INS File fail!!
</source>
        <translation>打开 INS 文件失败！
</translation>
    </message>
    <message>
        <source>INS Msg ok!!!

</source>
        <translation>INS 消息正常！

</translation>
    </message>
    <message>
        <source>Open File fail!</source>
        <translation>打开文件失败！</translation>
    </message>
    <message>
        <source>Msg ok!!!
</source>
        <translation>消息正常！
</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>信号</translation>
    </message>
    <message>
        <source>Max CN0[Thr cn0]</source>
        <translation>最大CN0[门限]</translation>
    </message>
    <message>
        <source>Sv Num[Thr SvNum]</source>
        <translation>卫星数[门限]</translation>
    </message>
    <message>
        <source>Err(&gt;100)</source>
        <translation>错误(&gt;100)</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>主天线</translation>
    </message>
    <message>
        <source>Slave</source>
        <translation>从天线</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>配置检查</translation>
    </message>
    <message>
        <source>CheckAll</source>
        <translation>检查全部</translation>
    </message>
    <message>
        <source>CheckOne</source>
        <translation>检查当前</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>组合导航</translation>
    </message>
    <message>
        <source>TQ</source>
        <translation>跟踪质量</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>检查</translation>
    </message>
    <message>
        <source>Processing</source>
        <translation>处理中</translation>
    </message>
    <message>
        <source>Running a loop to detect tq</source>
        <translation>正在循环检测跟踪质量</translation>
    </message>
    <message>
        <source>Are tq values determined for stop loop detection?</source>
        <translation>是否停止跟踪质量的循环检测？</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Open BoardRecord File fail!</source>
        <translation>打开板卡记录文件失败！</translation>
    </message>
    <message>
        <source>The tracking-quality record %1 cannot be written: %2</source>
        <translation>无法写入跟踪质量记录%1：%2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>The reply to %1 holds a value out of range!!</source>
        <translation>对 %1 的回复含有超出范围的数值！！</translation>
    </message>
</context>
<context>
    <name>QMediumFreqDiag</name>
    <message>
        <source>The data is bigger,The recommended baud rate is 460800</source>
        <translation>数据量较大，建议波特率为 460800</translation>
    </message>
    <message>
        <source>Medium Frequency</source>
        <translation>中频输出</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>信号</translation>
    </message>
    <message>
        <source>Ok</source>
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
        <source>The data is bigger,The recommended baud rate is 460800&#xd;
Are you sure to change the baud rate to 460800</source>
        <translation>数据量较大，建议波特率为460800&#xd;
确定将波特率改为460800吗</translation>
    </message>
</context>
<context>
    <name>QNvmLogDiag</name>
    <message>
        <source>NVM Log</source>
        <translation>NVM日志</translation>
    </message>
    <message>
        <source>BaudRate:</source>
        <translation>波特率:</translation>
    </message>
    <message>
        <source>deleted data</source>
        <translation>删除数据</translation>
    </message>
    <message>
        <source>progress bar</source>
        <translation>进度</translation>
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
        <source>Nvm file is Empty</source>
        <translation>NVM日志为空</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are sure delete nvm file???</source>
        <translation>确定删除NVM日志吗？</translation>
    </message>
    <message>
        <source>The port went away before the receiver completed the dump.</source>
        <translation>接收机完成导出之前端口已断开。</translation>
    </message>
    <message>
        <source>The log file was closed before the receiver completed the dump.</source>
        <translation>接收机完成导出之前日志文件已关闭。</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Nvm file is log complete</source>
        <translation>NVM日志导出完成</translation>
    </message>
    <message>
        <source>The dump was cancelled before the receiver completed it.</source>
        <translation>导出在接收机完成之前已取消。</translation>
    </message>
    <message>
        <source>The %1 bytes that arrived are kept in %2.</source>
        <translation>已收到的%1字节保存在%2中。</translation>
    </message>
</context>
</TS>
