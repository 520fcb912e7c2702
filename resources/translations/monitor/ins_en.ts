<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QZvINSConfigWindow</name>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>INS Enable</source>
        <translation>INS Enable</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Mounting Angles</source>
        <translation>Mounting Angles</translation>
    </message>
    <message>
        <source>GNSS Lever Arm</source>
        <translation>GNSS Lever Arm</translation>
    </message>
    <message>
        <source>Rear Wheel Lever Arm</source>
        <translation>Rear Wheel Lever Arm</translation>
    </message>
    <message>
        <source>Alignment Mode:</source>
        <translation>Alignment Mode:</translation>
    </message>
    <message>
        <source>Heading</source>
        <translation>Heading</translation>
    </message>
    <message>
        <source>degree</source>
        <translation>degree</translation>
    </message>
    <message>
        <source>Alignment of speed threshold:</source>
        <translation>Alignment of speed threshold:</translation>
    </message>
    <message>
        <source>[m/s]</source>
        <translation>[m/s]</translation>
    </message>
    <message>
        <source>Mag Enable</source>
        <translation>Mag Enable</translation>
    </message>
    <message>
        <source>Odo Enable</source>
        <translation>Odo Enable</translation>
    </message>
    <message>
        <source>Receiver Dynamic model:</source>
        <translation>Receiver Dynamic model:</translation>
    </message>
    <message>
        <source>Reference to IMU Mounting Angles [Deg]</source>
        <translation>Reference to IMU Mounting Angles [Deg]</translation>
    </message>
    <message>
        <source>Range:X:0~360°;Y :-90~90°;Z:-90~90°</source>
        <translation>Range:X:0~360°;Y :-90~90°;Z:-90~90°</translation>
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
        <translation>Mounting angles automatic rough estimate:</translation>
    </message>
    <message>
        <source>(If accuracy need improved, the user needs to input the precise Mounting Angle !)</source>
        <translation>(If accuracy need improved, the user needs to input the precise Mounting Angle !)</translation>
    </message>
    <message>
        <source>( In IMU frame )</source>
        <translation>( In IMU frame )</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm [m]</source>
        <translation>IMU to Primary GNSS Lever Arm [m]</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector [m]</source>
        <translation>Primary to Secondary GNSS Baseline Vector [m]</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm [m]</source>
        <translation>IMU to Vehicle Lever Arm [m]</translation>
    </message>
    <message>
        <source>Rear Wheel Lever Arm [m]</source>
        <translation>Rear Wheel Lever Arm [m]</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>QZvINSConfig</name>
    <message>
        <source>DUAL ANTENNA</source>
        <translation>DUAL ANTENNA</translation>
    </message>
    <message>
        <source>EXTERNAL HEADING</source>
        <translation>EXTERNAL HEADING</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The port of this receiver is not open: nothing was sent.</source>
        <translation>The port of this receiver is not open: nothing was sent.</translation>
    </message>
    <message>
        <source>Please choose an alignment mode.</source>
        <translation>Please choose an alignment mode.</translation>
    </message>
    <message>
        <source>Please choose a receiver dynamic model.</source>
        <translation>Please choose a receiver dynamic model.</translation>
    </message>
    <message>
        <source>The alignment speed threshold must be a number of m/s, such as 0.5.</source>
        <translation>The alignment speed threshold must be a number of m/s, such as 0.5.</translation>
    </message>
    <message>
        <source>Heading range is 0~360</source>
        <translation>Heading range is 0~360</translation>
    </message>
    <message>
        <source>DEFAULT</source>
        <translation>DEFAULT</translation>
    </message>
    <message>
        <source>LAND VEHICLE</source>
        <translation>LAND VEHICLE</translation>
    </message>
    <message>
        <source>MARINE</source>
        <translation>MARINE</translation>
    </message>
    <message>
        <source>FIXED WING</source>
        <translation>FIXED WING</translation>
    </message>
    <message>
        <source>VTOL</source>
        <translation>VTOL</translation>
    </message>
    <message>
        <source>RAIL</source>
        <translation>RAIL</translation>
    </message>
    <message>
        <source>LOW SPEED</source>
        <translation>LOW SPEED</translation>
    </message>
    <message>
        <source>X range is -180~180 degree</source>
        <translation>X range is -180~180 degree</translation>
    </message>
    <message>
        <source>X 1-sigma range is 0~45 degree</source>
        <translation>X 1-sigma range is 0~45 degree</translation>
    </message>
    <message>
        <source>y range is -180~180 degree</source>
        <translation>y range is -180~180 degree</translation>
    </message>
    <message>
        <source>y 1-sigma range is  0~45 degree</source>
        <translation>y 1-sigma range is  0~45 degree</translation>
    </message>
    <message>
        <source>z range is -180~180 degree</source>
        <translation>z range is -180~180 degree</translation>
    </message>
    <message>
        <source>z 1-sigma range is  0~45 degree</source>
        <translation>z 1-sigma range is  0~45 degree</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm X range is -100-100 m</source>
        <translation>IMU to Primary GNSS Lever Arm X range is -100-100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm X 1-sigma range is 0~10 m</source>
        <translation>IMU to Primary GNSS Lever Arm X 1-sigma range is 0~10 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm Y range is -100~100 m</source>
        <translation>IMU to Primary GNSS Lever Arm Y range is -100~100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm y 1-sigma range is 0~10m</source>
        <translation>IMU to Primary GNSS Lever Arm y 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm Z range is -100~100 m</source>
        <translation>IMU to Primary GNSS Lever Arm Z range is -100~100 m</translation>
    </message>
    <message>
        <source>IMU to Primary GNSS Lever Arm z 1-sigma range is 0~10m</source>
        <translation>IMU to Primary GNSS Lever Arm z 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector X range is -100~100 m</source>
        <translation>Primary to Secondary GNSS Baseline Vector X range is -100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector X 1-sigma range is 0~10m</source>
        <translation>Primary to Secondary GNSS Baseline Vector X 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector Y range is -100~100 m</source>
        <translation>Primary to Secondary GNSS Baseline Vector Y range is -100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector y 1-sigma range is 0~10m</source>
        <translation>Primary to Secondary GNSS Baseline Vector y 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector Z range is -100~100 m</source>
        <translation>Primary to Secondary GNSS Baseline Vector Z range is -100~100 m</translation>
    </message>
    <message>
        <source>Primary to Secondary GNSS Baseline Vector z 1-sigma range is 0~10m</source>
        <translation>Primary to Secondary GNSS Baseline Vector z 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm X range is -100~100 m</source>
        <translation>IMU to Vehicle Lever Arm X range is -100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm X 1-sigma range is 0~10m</source>
        <translation>IMU to Vehicle Lever Arm X 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm y range is -100~100 m</source>
        <translation>IMU to Vehicle Lever Arm y range is -100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm y 1-sigma range is 0~10m</source>
        <translation>IMU to Vehicle Lever Arm y 1-sigma range is 0~10m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm z range is -100~100 m</source>
        <translation>IMU to Vehicle Lever Arm z range is -100~100 m</translation>
    </message>
    <message>
        <source>IMU to Vehicle Lever Arm z 1-sigma range is 0~10m</source>
        <translation>IMU to Vehicle Lever Arm z 1-sigma range is 0~10m</translation>
    </message>
</context>
<context>
    <name>QINSConfigCheckDiag</name>
    <message>
        <source>INS Config Check</source>
        <translation>INS Config Check</translation>
    </message>
    <message>
        <source>INS Config</source>
        <translation>INS Config</translation>
    </message>
    <message>
        <source>Mount Angle Config</source>
        <translation>Mount Angle Config</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Board Config</source>
        <translation>Board Config</translation>
    </message>
    <message>
        <source>Mount Angle</source>
        <translation>Mount Angle</translation>
    </message>
    <message>
        <source>Board Type</source>
        <translation>Board Type</translation>
    </message>
    <message>
        <source>Board towards</source>
        <translation>Board towards</translation>
    </message>
    <message>
        <source>Antenna towards</source>
        <translation>Antenna towards</translation>
    </message>
    <message>
        <source>Configuration item</source>
        <translation>Configuration item</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>Config</translation>
    </message>
    <message>
        <source>%1: the receiver's INS configuration could not be read</source>
        <translation>%1: the receiver's INS configuration could not be read</translation>
    </message>
    <message>
        <source>The board orientation chosen has a mounting angle of %1°.</source>
        <translation>The board orientation chosen has a mounting angle of %1°.</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>NANO Receive</source>
        <translation>NANO Receive</translation>
    </message>
    <message>
        <source>VX Receive</source>
        <translation>VX Receive</translation>
    </message>
    <message>
        <source>Right Side Up</source>
        <translation>Right Side Up</translation>
    </message>
    <message>
        <source>Coming Up Tails</source>
        <translation>Coming Up Tails</translation>
    </message>
    <message>
        <source>Toward the front of car</source>
        <translation>Toward the front of car</translation>
    </message>
    <message>
        <source>Toward the left of car</source>
        <translation>Toward the left of car</translation>
    </message>
    <message>
        <source>Toward the end of car</source>
        <translation>Toward the end of car</translation>
    </message>
    <message>
        <source>Toward the right of car</source>
        <translation>Toward the right of car</translation>
    </message>
    <message>
        <source>Translation</source>
        <translation>Translation</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>X Offset</source>
        <translation>X Offset</translation>
    </message>
    <message>
        <source>Y Offset</source>
        <translation>Y Offset</translation>
    </message>
    <message>
        <source>Z Offset</source>
        <translation>Z Offset</translation>
    </message>
    <message>
        <source>X Uncertainty</source>
        <translation>X Uncertainty</translation>
    </message>
    <message>
        <source>Y Uncertainty</source>
        <translation>Y Uncertainty</translation>
    </message>
    <message>
        <source>Z Uncertainty</source>
        <translation>Z Uncertainty</translation>
    </message>
    <message>
        <source>Translation Source</source>
        <translation>Translation Source</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Rotation</translation>
    </message>
    <message>
        <source>Rotation Frame</source>
        <translation>Rotation Frame</translation>
    </message>
    <message>
        <source>X Rotation</source>
        <translation>X Rotation</translation>
    </message>
    <message>
        <source>Y Rotation</source>
        <translation>Y Rotation</translation>
    </message>
    <message>
        <source>Z Rotation</source>
        <translation>Z Rotation</translation>
    </message>
    <message>
        <source>X Rotation Std</source>
        <translation>X Rotation Std</translation>
    </message>
    <message>
        <source>Y Rotation Std</source>
        <translation>Y Rotation Std</translation>
    </message>
    <message>
        <source>Z Rotation Std</source>
        <translation>Z Rotation Std</translation>
    </message>
    <message>
        <source>Rotation Source</source>
        <translation>Rotation Source</translation>
    </message>
    <message>
        <source>IMU Type</source>
        <translation>IMU Type</translation>
    </message>
    <message>
        <source>Initial Alignment Velocity(m/s)</source>
        <translation>Initial Alignment Velocity(m/s)</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Alignment Mode</source>
        <translation>Alignment Mode</translation>
    </message>
    <message>
        <source>INS Receiver Status</source>
        <translation>INS Receiver Status</translation>
    </message>
    <message>
        <source>INS Seed Mode</source>
        <translation>INS Seed Mode</translation>
    </message>
    <message>
        <source>INS Seed Validation</source>
        <translation>INS Seed Validation</translation>
    </message>
</context>
<context>
    <name>QConfigCheck</name>
    <message>
        <source>Pos:invalid </source>
        <translation>Pos:invalid </translation>
    </message>
    <message>
        <source>The port has no output GNGGA
</source>
        <translation>The port has no output GNGGA
</translation>
    </message>
    <message>
        <source>POS:Fixed Position</source>
        <translation>POS:Fixed Position</translation>
    </message>
    <message>
        <source>Pos:%1</source>
        <translation>Pos:%1</translation>
    </message>
    <message>
        <source>This is not zorvik board card!!
</source>
        <translation>This is not zorvik board card!!
</translation>
    </message>
    <message>
        <source>Get VersionList Fail!!!
</source>
        <translation>Get VersionList Fail!!!
</translation>
    </message>
    <message>
        <source>MasterSigNameList is null!!</source>
        <translation>MasterSigNameList is null!!</translation>
    </message>
    <message>
        <source>This Board not id!!
</source>
        <translation>This Board not id!!
</translation>
    </message>
    <message>
        <source>Not found BoardType!!
</source>
        <translation>Not found BoardType!!
</translation>
    </message>
    <message>
        <source>Pos: not the current port</source>
        <translation>Pos: not the current port</translation>
    </message>
    <message>
        <source>Not found FWVersion!!
</source>
        <translation>Not found FWVersion!!
</translation>
    </message>
    <message>
        <source>Not found SETINSROTATION configuration!!
</source>
        <translation>Not found SETINSROTATION configuration!!
</translation>
    </message>
    <message>
        <source>Not found Inscommand Status!!
</source>
        <translation>Not found Inscommand Status!!
</translation>
    </message>
    <message>
        <source>Not found SETINSTRANSLATION configuration!!
</source>
        <translation>Not found SETINSTRANSLATION configuration!!
</translation>
    </message>
    <message>
        <source>Not found Align Mode!!
</source>
        <translation>Not found Align Mode!!
</translation>
    </message>
    <message>
        <source>Open INS File fail!!
</source>
        <translation>Open INS File fail!!
</translation>
    </message>
    <message>
        <source>INS Msg ok!!!

</source>
        <translation>INS Msg ok!!!

</translation>
    </message>
    <message>
        <source>Open File fail!</source>
        <translation>Open File fail!</translation>
    </message>
    <message>
        <source>Msg ok!!!
</source>
        <translation>Msg ok!!!
</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>Max CN0[Thr cn0]</source>
        <translation>Max CN0[Thr cn0]</translation>
    </message>
    <message>
        <source>Sv Num[Thr SvNum]</source>
        <translation>Sv Num[Thr SvNum]</translation>
    </message>
    <message>
        <source>Err(&gt;100)</source>
        <translation>Err(&gt;100)</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>Slave</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>Configure Check</source>
        <translation>Configure Check</translation>
    </message>
    <message>
        <source>CheckAll</source>
        <translation>CheckAll</translation>
    </message>
    <message>
        <source>CheckOne</source>
        <translation>CheckOne</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>TQ</source>
        <translation>TQ</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Processing</source>
        <translation>Processing</translation>
    </message>
    <message>
        <source>Running a loop to detect tq</source>
        <translation>Running a loop to detect tq</translation>
    </message>
    <message>
        <source>Are tq values determined for stop loop detection?</source>
        <translation>Are tq values determined for stop loop detection?</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Open BoardRecord File fail!</source>
        <translation>Open BoardRecord File fail!</translation>
    </message>
    <message>
        <source>The tracking-quality record %1 cannot be written: %2</source>
        <translation>The tracking-quality record %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The reply to %1 holds a value out of range!!</source>
        <translation>The reply to %1 holds a value out of range!!</translation>
    </message>
</context>
<context>
    <name>QMediumFreqDiag</name>
    <message>
        <source>The data is bigger,The recommended baud rate is 460800</source>
        <translation>The data is bigger, the recommended baud rate is 460800</translation>
    </message>
    <message>
        <source>Medium Frequency</source>
        <translation>Medium Frequency</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The data is bigger,The recommended baud rate is 460800&#xd;
Are you sure to change the baud rate to 460800</source>
        <translation>The data is bigger,The recommended baud rate is 460800&#xd;
Are you sure to change the baud rate to 460800</translation>
    </message>
</context>
<context>
    <name>QNvmLogDiag</name>
    <message>
        <source>NVM Log</source>
        <translation>NVM Log</translation>
    </message>
    <message>
        <source>BaudRate:</source>
        <translation>BaudRate:</translation>
    </message>
    <message>
        <source>deleted data</source>
        <translation>deleted data</translation>
    </message>
    <message>
        <source>progress bar</source>
        <translation>progress bar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Nvm file is Empty</source>
        <translation>Nvm file is Empty</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Are sure delete nvm file???</source>
        <translation>Are sure delete nvm file???</translation>
    </message>
    <message>
        <source>The port went away before the receiver completed the dump.</source>
        <translation>The port went away before the receiver completed the dump.</translation>
    </message>
    <message>
        <source>The log file was closed before the receiver completed the dump.</source>
        <translation>The log file was closed before the receiver completed the dump.</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Complete</translation>
    </message>
    <message>
        <source>Nvm file is log complete</source>
        <translation>Nvm file is log complete</translation>
    </message>
    <message>
        <source>The dump was cancelled before the receiver completed it.</source>
        <translation>The dump was cancelled before the receiver completed it.</translation>
    </message>
    <message>
        <source>The %1 bytes that arrived are kept in %2.</source>
        <translation>The %1 bytes that arrived are kept in %2.</translation>
    </message>
</context>
</TS>
