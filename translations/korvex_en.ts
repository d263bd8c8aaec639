<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko_KR">
<context>
    <name>CIdStatisticsModel</name>
    <message>
        <source>메시지</source>
        <translation>Message</translation>
    </message>
</context>
<context>
    <name>CIdStatisticsView</name>
    <message>
        <source>송신 목록에 추가</source>
        <translation>Add to Transmit List</translation>
    </message>
    <message>
        <source>일시 정지</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>지우기</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>필터: 식별자 또는 데이터 바이트 (16진수)</source>
        <translation>Filter: ID or data bytes (hex)</translation>
    </message>
    <message>
        <source>16진수로 식별자의 일부(예: 7E0) 또는 데이터 바이트(예: 01 02)를 넣으면 그것을 포함한 행만 보입니다</source>
        <translation>Enter part of an ID (e.g. 7E0) or data bytes (e.g. 01 02) in hex to show only the rows that contain them</translation>
    </message>
    <message>
        <source>표를 멈춥니다 (수신한 프레임은 계속 셉니다)</source>
        <translation>Freezes the table (received frames are still counted)</translation>
    </message>
    <message>
        <source>식별자별 통계를 모두 지웁니다</source>
        <translation>Clears all per-ID statistics</translation>
    </message>
    <message>
        <source>식별자 %1개</source>
        <translation>IDs: %1</translation>
    </message>
    <message>
        <source>식별자 %1개 중 %2개</source>
        <translation>IDs: %2 of %1</translation>
    </message>
</context>
<context>
    <name>CLogPathDlg</name>
    <message>
        <source>로그파일 경로 설정 </source>
        <translation>Log File Paths</translation>
    </message>
    <message>
        <source>수신데이터 파일 경로</source>
        <translation>Received data file path</translation>
    </message>
    <message>
        <source>이벤트 파일 경로</source>
        <translation>Event file path</translation>
    </message>
</context>
<context>
    <name>CLogTableModel</name>
    <message>
        <source>번호</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>시간</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>종류</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>길이</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>데이터</source>
        <translation>Data</translation>
    </message>
</context>
<context>
    <name>CLogViewWindow</name>
    <message>
        <source>필터: ID 데이터 (예: 7E8 11 ?? 33)</source>
        <translation>Filter: ID data (e.g. 7E8 11 ?? 33)</translation>
    </message>
    <message>
        <source>시간으로 이동: 2023-11-14 22:13:20.5</source>
        <translation>Go to time: 2023-11-14 22:13:20.5</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>프레임 %1개, 읽지 못한 줄 %2개</source>
        <translation>Frames: %1, unreadable lines: %2</translation>
    </message>
    <message>
        <source>%1행: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>그래프에 추가</source>
        <translation>Add to Plot</translation>
    </message>
</context>
<context>
    <name>CModuleConfigDlg</name>
    <message>
        <source>Korvex 환경 설정</source>
        <translation>Korvex Settings</translation>
    </message>
    <message>
        <source>PC 통신 인터페이스 설정</source>
        <translation>PC Interface</translation>
    </message>
    <message>
        <source>Serial 통신</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>USB 통신</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Serial 통신 포트</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>USB 통신 포트</source>
        <translation>USB port</translation>
    </message>
    <message>
        <source>Serial 통신 속도</source>
        <translation>Serial baud rate</translation>
    </message>
    <message>
        <source>CAN Bus-Off시 자동리셋 사용</source>
        <translation>Reset automatically on CAN Bus-Off</translation>
    </message>
    <message>
        <source>CAN 에러 발생 시 알림 여부 설정</source>
        <translation>Report CAN errors</translation>
    </message>
    <message>
        <source>CAN Bus-Off 에러 알림</source>
        <translation>Report CAN Bus-Off</translation>
    </message>
    <message>
        <source>CAN Error-Passive 에러 알림</source>
        <translation>Report CAN Error-Passive</translation>
    </message>
    <message>
        <source>CAN Warning 에러 알림</source>
        <translation>Report CAN Warning</translation>
    </message>
    <message>
        <source>수신 Mask ID</source>
        <translation>Receive Mask ID</translation>
    </message>
    <message>
        <source>[ 비트값이 0이면 해당 비트가 No Mask임 ]</source>
        <translation>[ A bit of 0 is not masked ]</translation>
    </message>
    <message>
        <source>수신 ID</source>
        <translation>Receive ID</translation>
    </message>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>[ Korvex 모듈의 BPS 계산식 ]</source>
        <translation>[ Bit rate of the Korvex module ]</translation>
    </message>
    <message>
        <source>[ CAN Bit Time 조건 ]</source>
        <translation>[ CAN bit time conditions ]</translation>
    </message>
    <message>
        <source>사용자 정의 CAN BPS 사용</source>
        <translation>Use a custom CAN bit rate</translation>
    </message>
    <message>
        <source>계산된 BPS</source>
        <translation>Computed bit rate</translation>
    </message>
</context>
<context>
    <name>CSignalDock</name>
    <message>
        <source>신호</source>
        <translation>Signals</translation>
    </message>
    <message>
        <source> 초</source>
        <translation> s</translation>
    </message>
    <message>
        <source>일시 정지</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>확대 초기화</source>
        <translation>Reset Zoom</translation>
    </message>
    <message>
        <source>최근</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>그래프에 추가</source>
        <translation>Add to Plot</translation>
    </message>
    <message>
        <source>측정 주기가 설정 주기와 10 % 넘게 다릅니다</source>
        <translation>The measured cycle differs from the defined cycle by more than 10 %</translation>
    </message>
</context>
<context>
    <name>CSignalEditor</name>
    <message>
        <source>신호</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>값</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>단위</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>원시 값</source>
        <translation>Raw Value</translation>
    </message>
    <message>
        <source>값 이름</source>
        <translation>Value Name</translation>
    </message>
    <message>
        <source>%1: 숫자를 입력하십시오</source>
        <translation>%1: enter a number</translation>
    </message>
    <message>
        <source>%1: 범위를 벗어나 %2(으)로 제한했읍니다</source>
        <translation>%1: out of range, limited to %2</translation>
    </message>
</context>
<context>
    <name>CSignalPlotView</name>
    <message>
        <source>시간 (초)</source>
        <translation>Time (s)</translation>
    </message>
</context>
<context>
    <name>CTDataDlg</name>
    <message>
        <source>송신 데이터 설정</source>
        <translation>Transmit Frame</translation>
    </message>
    <message>
        <source>프레임</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>신호</source>
        <translation>Signals</translation>
    </message>
    <message>
        <source>송신 ID</source>
        <translation>Transmit ID</translation>
    </message>
    <message>
        <source>0 또는 빈칸: 주기 전송 안 함, 1 ~ 60000 ms</source>
        <translation>0 or empty: no cyclic transmission; 1 to 60000 ms</translation>
    </message>
    <message>
        <source>송신 주기(ms)</source>
        <translation>Transmit period (ms)</translation>
    </message>
    <message>
        <source>데이터 길이</source>
        <translation>Data length</translation>
    </message>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Frame 타입</source>
        <translation>Frame type</translation>
    </message>
    <message>
        <source>데이터</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>형식</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>CTransmitListModel</name>
    <message>
        <source>송신 주기(ms)</source>
        <translation>Period (ms)</translation>
    </message>
</context>
<context>
    <name>IdStatisticsRules</name>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>CAN2.0A: 11비트 식별자, CAN2.0B: 29비트 식별자</source>
        <translation>CAN2.0A: 11-bit ID, CAN2.0B: 29-bit ID</translation>
    </message>
    <message>
        <source>프레임</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>데이터 프레임 또는 리모트 프레임</source>
        <translation>Data frame or remote frame</translation>
    </message>
    <message>
        <source>식별자</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>16진수</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>개수</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>받은 프레임 수</source>
        <translation>Frames received</translation>
    </message>
    <message>
        <source>길이</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>마지막 프레임의 데이터 길이</source>
        <translation>Data length of the last frame</translation>
    </message>
    <message>
        <source>데이터</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>마지막 프레임의 데이터 (1초 안에 바뀐 바이트는 색으로 표시)</source>
        <translation>Data of the last frame (bytes changed within 1 s are coloured)</translation>
    </message>
    <message>
        <source>주기(ms)</source>
        <translation>Cycle (ms)</translation>
    </message>
    <message>
        <source>마지막 두 프레임 사이의 간격</source>
        <translation>Time between the last two frames</translation>
    </message>
    <message>
        <source>최소(ms)</source>
        <translation>Min (ms)</translation>
    </message>
    <message>
        <source>가장 짧았던 주기</source>
        <translation>Shortest cycle</translation>
    </message>
    <message>
        <source>최대(ms)</source>
        <translation>Max (ms)</translation>
    </message>
    <message>
        <source>가장 길었던 주기</source>
        <translation>Longest cycle</translation>
    </message>
    <message>
        <source>평균(ms)</source>
        <translation>Mean (ms)</translation>
    </message>
    <message>
        <source>첫 프레임부터 마지막 프레임까지의 평균 주기</source>
        <translation>Mean cycle from the first frame to the last</translation>
    </message>
    <message>
        <source>프레임/초</source>
        <translation>Frames/s</translation>
    </message>
    <message>
        <source>지난 1초 동안 받은 프레임 수</source>
        <translation>Frames received in the last second</translation>
    </message>
    <message>
        <source>주기와 초당 프레임은 프레임이 이 PC에 도착한 시각으로 잰 값입니다 (버스 위의 시각이 아님). 모듈의 수신 필터를 통과한 프레임만 보입니다.</source>
        <translation>Cycles and frames per second are measured from the time frames arrive at this PC (not the time on the bus). Only frames that pass the module&apos;s receive filter are shown.</translation>
    </message>
</context>
<context>
    <name>SignalTree</name>
    <message>
        <source>메시지 / 신호</source>
        <translation>Message / Signal</translation>
    </message>
    <message>
        <source>ID / 위치</source>
        <translation>ID / Position</translation>
    </message>
    <message>
        <source>주기 (설정 / 측정)</source>
        <translation>Cycle (defined / measured)</translation>
    </message>
    <message>
        <source>원시 값</source>
        <translation>Raw Value</translation>
    </message>
    <message>
        <source>값</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>값 이름</source>
        <translation>Value Name</translation>
    </message>
</context>
</TS>
