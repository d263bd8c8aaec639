<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko_KR">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Korvex 정보</source>
        <translation>About Korvex</translation>
    </message>
    <message>
        <source>Korvex 버전 1.0</source>
        <translation>Korvex version 1.0</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CFormDialog</name>
    <message>
        <source>설정</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
</context>
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
    <name>CLogCommands</name>
    <message>
        <source>기록할 파일</source>
        <translation>Record To File</translation>
    </message>
    <message>
        <source>로그 열기</source>
        <translation>Open Log</translation>
    </message>
    <message>
        <source>candump 로그 (*.log)</source>
        <translation>candump logs (*.log)</translation>
    </message>
    <message>
        <source>로그 파일 (*.log *.asc *.txt)</source>
        <translation>Log files (*.log *.asc *.txt)</translation>
    </message>
    <message>
        <source>ASC 로그 (*.asc)</source>
        <translation>ASC logs (*.asc)</translation>
    </message>
    <message>
        <source>모든 파일 (*)</source>
        <translation>All files (*)</translation>
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
    <name>CMainFrame</name>
    <message>
        <source>통신 포트 모드</source>
        <translation>Port type</translation>
    </message>
    <message>
        <source>통신 포트 이름</source>
        <translation>Port name</translation>
    </message>
    <message>
        <source>CAN 프로토콜 모드</source>
        <translation>CAN protocol</translation>
    </message>
    <message>
        <source>CAN 속도</source>
        <translation>CAN bit rate</translation>
    </message>
    <message>
        <source>CAN 수신 마스크 ID</source>
        <translation>CAN receive mask ID</translation>
    </message>
    <message>
        <source>CAN 수신 ID</source>
        <translation>CAN receive ID</translation>
    </message>
    <message>
        <source>CAN 송/수신 상황</source>
        <translation>CAN transmit/receive activity</translation>
    </message>
    <message>
        <source>지난 1초 동안 받은 프레임 수와 버스 부하(설정한 CAN 속도 대비, 스터프 비트 포함). 모듈의 수신 필터를 통과한 프레임만 보입니다.</source>
        <translation>Frames received in the last second and the bus load (of the configured CAN bit rate, stuff bits included). Only frames that pass the module&apos;s receive filter are seen.</translation>
    </message>
    <message>
        <source>수신 오류: 공간이 없어 버린 수신 블록 / 거부한 줄 (체크섬, 문자, 응답) / 데이터가 모자란 프레임</source>
        <translation>Receive errors: blocks dropped for want of room / lines refused (checksum, character, response) / frames short of data</translation>
    </message>
    <message>
        <source>열린 신호 데이터베이스 (DBC)</source>
        <translation>Open signal database (DBC)</translation>
    </message>
    <message>
        <source>수신 데이터</source>
        <translation>Received Frames</translation>
    </message>
    <message>
        <source>식별자별 보기</source>
        <translation>By Identifier</translation>
    </message>
    <message>
        <source>로그 재생</source>
        <translation>Replay Log</translation>
    </message>
    <message>
        <source>candump 로그 (*.log);;모든 파일 (*)</source>
        <translation>candump logs (*.log);;All files (*)</translation>
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
    <name>CommandCatalog</name>
    <message>
        <source>Korvex 환경 설정 읽기(&amp;C)</source>
        <translation>Read Korvex &amp;Configuration</translation>
    </message>
    <message>
        <source>선택한 Korvex 모듈의 환경 설정 정보를 읽읍니다</source>
        <translation>Reads the configuration of the selected Korvex module</translation>
    </message>
    <message>
        <source>Korvex 환경 설정 읽기</source>
        <translation>Read Korvex configuration</translation>
    </message>
    <message>
        <source>Korvex 환경 설정 쓰기(&amp;E)...</source>
        <translation>&amp;Write Korvex Configuration...</translation>
    </message>
    <message>
        <source>선택한 Korvex 모듈에 지정한 환경 설정를 씁니다</source>
        <translation>Writes the chosen configuration to the selected Korvex module</translation>
    </message>
    <message>
        <source>Korvex 환경 설정 쓰기</source>
        <translation>Write Korvex configuration</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 시작(&amp;N)</source>
        <translation>Start CAN Rece&amp;ption</translation>
    </message>
    <message>
        <source>CAN 데이터 수신을 시작합니다</source>
        <translation>Starts receiving CAN frames</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 시작</source>
        <translation>Start CAN reception</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 중지(&amp;X)</source>
        <translation>S&amp;top CAN Reception</translation>
    </message>
    <message>
        <source>CAN 데이터 수신을 중지합니다</source>
        <translation>Stops receiving CAN frames</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 중지</source>
        <translation>Stop CAN reception</translation>
    </message>
    <message>
        <source>CAN 데이터 송신 하기(&amp;W)</source>
        <translation>&amp;Send CAN Frame</translation>
    </message>
    <message>
        <source>선택한 송신 리스트 데이터를 CAN 네트워크에 전송합니다</source>
        <translation>Sends the selected frame of the transmit list onto the CAN network</translation>
    </message>
    <message>
        <source>CAN 데이터 송신 하기</source>
        <translation>Send CAN frame</translation>
    </message>
    <message>
        <source>CAN 리셋(&amp;R)</source>
        <translation>&amp;Reset CAN Node</translation>
    </message>
    <message>
        <source>연결된 CAN 노드를 리셋하여 초기화합니다</source>
        <translation>Resets and initialises the connected CAN node</translation>
    </message>
    <message>
        <source>CAN 리셋</source>
        <translation>Reset CAN node</translation>
    </message>
    <message>
        <source>Korvex 모듈 버전 읽기(&amp;F)</source>
        <translation>Read Module &amp;Version</translation>
    </message>
    <message>
        <source>연결된 Korvex 모듈의 버전 정보를 읽읍니다</source>
        <translation>Reads the version of the connected Korvex module</translation>
    </message>
    <message>
        <source>Korvex 모듈 버전 읽기</source>
        <translation>Read module version</translation>
    </message>
    <message>
        <source>송신 데이터 추가(&amp;A)...</source>
        <translation>&amp;Add Transmit Frame...</translation>
    </message>
    <message>
        <source>송신 데이터 리스트에 새로운 데이터를 추가합니다</source>
        <translation>Adds a new frame to the transmit list</translation>
    </message>
    <message>
        <source>송신 데이터 추가</source>
        <translation>Add transmit frame</translation>
    </message>
    <message>
        <source>송신 데이터 수정(&amp;M)...</source>
        <translation>&amp;Modify Transmit Frame...</translation>
    </message>
    <message>
        <source>송신 데이터 리스트에서 선택한 송신 데이터를 수정합니다</source>
        <translation>Modifies the selected frame of the transmit list</translation>
    </message>
    <message>
        <source>송신 데이터 수정</source>
        <translation>Modify transmit frame</translation>
    </message>
    <message>
        <source>송신 데이터 삭제(&amp;D)</source>
        <translation>&amp;Delete Transmit Frame</translation>
    </message>
    <message>
        <source>송신 데이터 리스트에서 선택한 송신 데이터를 삭제합니다</source>
        <translation>Deletes the selected frame from the transmit list</translation>
    </message>
    <message>
        <source>송신 데이터 삭제</source>
        <translation>Delete transmit frame</translation>
    </message>
    <message>
        <source>송신 데이터 전체 삭제(&amp;E)</source>
        <translation>Delete All Transmit Fram&amp;es</translation>
    </message>
    <message>
        <source>송신 데이터 리스트의 모든 데이터를 삭제합니다</source>
        <translation>Deletes every frame of the transmit list</translation>
    </message>
    <message>
        <source>송신 데이터 전체 삭제</source>
        <translation>Delete all transmit frames</translation>
    </message>
    <message>
        <source>수신 데이터 전체 삭제(&amp;O)</source>
        <translation>&amp;Clear Received Frames</translation>
    </message>
    <message>
        <source>수신 데이터 리스트의 모든 데이터를 삭제합니다</source>
        <translation>Clears the receive list</translation>
    </message>
    <message>
        <source>수신 데이터 전체 삭제</source>
        <translation>Clear received frames</translation>
    </message>
    <message>
        <source>수신 데이터 로깅 시작(&amp;L)</source>
        <translation>Start Receive Data &amp;Logging</translation>
    </message>
    <message>
        <source>수신 데이터를 지정한 로깅 파일 경로에 저장합니다</source>
        <translation>Writes the received frames to the chosen log file</translation>
    </message>
    <message>
        <source>수신 데이터 로깅 시작</source>
        <translation>Start receive data logging</translation>
    </message>
    <message>
        <source>수신 데이터 로깅 중지(&amp;S)</source>
        <translation>&amp;Stop Receive Data Logging</translation>
    </message>
    <message>
        <source>수신 데이터 로깅 동작을 중지합니다</source>
        <translation>Stops logging the received frames</translation>
    </message>
    <message>
        <source>수신 데이터 로깅 중지</source>
        <translation>Stop receive data logging</translation>
    </message>
    <message>
        <source>이벤트 로깅 시작(&amp;Y)</source>
        <translation>Start Event Lo&amp;gging</translation>
    </message>
    <message>
        <source>이벤트 정보를 지정한 로깅 파일 경로에 저장합니다</source>
        <translation>Writes the events to the chosen log file</translation>
    </message>
    <message>
        <source>이벤트 로깅 시작</source>
        <translation>Start event logging</translation>
    </message>
    <message>
        <source>이벤트 로깅 중지(&amp;N)</source>
        <translation>Stop Eve&amp;nt Logging</translation>
    </message>
    <message>
        <source>이벤트 로깅 동작을 중지합니다</source>
        <translation>Stops logging the events</translation>
    </message>
    <message>
        <source>이벤트 로깅 중지</source>
        <translation>Stop event logging</translation>
    </message>
    <message>
        <source>로깅 파일 경로 설정(&amp;L)...</source>
        <translation>Log File &amp;Paths...</translation>
    </message>
    <message>
        <source>수신 데이터 로깅, 이벤트 로깅 정보를 저장할 파일 경로를 설정합니다</source>
        <translation>Sets the files the receive data log and the event log are written to</translation>
    </message>
    <message>
        <source>로깅 파일 경로 설정</source>
        <translation>Log file paths</translation>
    </message>
    <message>
        <source>송신 파일 열기(&amp;O)...</source>
        <translation>&amp;Open Transmit File...</translation>
    </message>
    <message>
        <source>기존 송신 리스트 파일 문서를 엽니다</source>
        <translation>Opens an existing transmit list file</translation>
    </message>
    <message>
        <source>송신 파일 열기</source>
        <translation>Open transmit file</translation>
    </message>
    <message>
        <source>송신 파일 저장(&amp;S)...</source>
        <translation>&amp;Save Transmit File...</translation>
    </message>
    <message>
        <source>현재 설정한 송신 리스트 데이터를 파일 문서로 저장합니다</source>
        <translation>Saves the current transmit list to a file</translation>
    </message>
    <message>
        <source>송신 파일 저장</source>
        <translation>Save transmit file</translation>
    </message>
    <message>
        <source>이벤트 로그 데이터 전체 삭제(&amp;X)</source>
        <translation>Clear E&amp;vent Log</translation>
    </message>
    <message>
        <source>이벤트 로그 리스트의 모든 데이터를 삭제합니다</source>
        <translation>Clears the event log list</translation>
    </message>
    <message>
        <source>이벤트 로그 데이터 전체 삭제</source>
        <translation>Clear event log</translation>
    </message>
    <message>
        <source>기록 시작/중지(&amp;R)</source>
        <translation>Start/Stop &amp;Recording</translation>
    </message>
    <message>
        <source>수신한 프레임을 고른 파일(.log: candump, .asc: ASC)에 기록하거나 기록을 중지합니다</source>
        <translation>Records the received frames to a chosen file (.log: candump, .asc: ASC), or stops recording</translation>
    </message>
    <message>
        <source>기록 시작/중지</source>
        <translation>Start/stop recording</translation>
    </message>
    <message>
        <source>로그 열기(&amp;G)...</source>
        <translation>Open Lo&amp;g...</translation>
    </message>
    <message>
        <source>candump, ASC 또는 수신 데이터 로그 파일을 새 탭에서 엽니다</source>
        <translation>Opens a candump, ASC or receive data log file in a new tab</translation>
    </message>
    <message>
        <source>로그 열기</source>
        <translation>Open log</translation>
    </message>
    <message>
        <source>DBC 열기(&amp;B)...</source>
        <translation>Open &amp;DBC...</translation>
    </message>
    <message>
        <source>신호 데이터베이스(DBC 파일)를 열어 수신 데이터를 신호 값으로 봅니다</source>
        <translation>Opens a signal database (DBC file) to show the received frames as signal values</translation>
    </message>
    <message>
        <source>DBC 열기</source>
        <translation>Open DBC</translation>
    </message>
    <message>
        <source>주기 송신 시작(&amp;P)</source>
        <translation>Start C&amp;yclic Sending</translation>
    </message>
    <message>
        <source>선택한 송신 데이터를 설정한 주기마다 CAN 네트워크에 전송합니다</source>
        <translation>Sends the selected transmit frame onto the CAN network at its period</translation>
    </message>
    <message>
        <source>주기 송신 시작</source>
        <translation>Start cyclic sending</translation>
    </message>
    <message>
        <source>주기 송신 중지(&amp;T)</source>
        <translation>St&amp;op Cyclic Sending</translation>
    </message>
    <message>
        <source>선택한 송신 데이터의 주기 송신을 중지합니다</source>
        <translation>Stops the cyclic sending of the selected transmit frame</translation>
    </message>
    <message>
        <source>주기 송신 중지</source>
        <translation>Stop cyclic sending</translation>
    </message>
    <message>
        <source>모든 주기 송신 중지(&amp;Q)</source>
        <translation>Stop &amp;All Cyclic Sending</translation>
    </message>
    <message>
        <source>실행 중인 모든 주기 송신을 중지합니다</source>
        <translation>Stops all cyclic sending</translation>
    </message>
    <message>
        <source>모든 주기 송신 중지</source>
        <translation>Stop all cyclic sending</translation>
    </message>
    <message>
        <source>로그 재생(&amp;G)...</source>
        <translation>Replay &amp;Log...</translation>
    </message>
    <message>
        <source>candump 로그 파일의 프레임을 기록된 시간 간격대로 CAN 네트워크에 전송합니다</source>
        <translation>Sends the frames of a candump log file onto the CAN network at their recorded intervals</translation>
    </message>
    <message>
        <source>로그 재생</source>
        <translation>Replay log</translation>
    </message>
    <message>
        <source>로그 재생 중지(&amp;H)</source>
        <translation>Stop Log R&amp;eplay</translation>
    </message>
    <message>
        <source>진행 중인 로그 재생을 중지합니다</source>
        <translation>Stops the running log replay</translation>
    </message>
    <message>
        <source>로그 재생 중지</source>
        <translation>Stop log replay</translation>
    </message>
    <message>
        <source>Korvex 정보(&amp;A)...</source>
        <translation>&amp;About Korvex...</translation>
    </message>
    <message>
        <source>Korvex 프로그램 정보와 버전 정보, 저작권 정보를 표시합니다</source>
        <translation>Shows the program&apos;s information, version and copyright</translation>
    </message>
    <message>
        <source>Korvex 정보</source>
        <translation>About Korvex</translation>
    </message>
    <message>
        <source>종료(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Korvex 프로그램을 종료합니다</source>
        <translation>Quits the Korvex program</translation>
    </message>
    <message>
        <source>종료</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>도구 모음(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>도구 모음을 보이거나 감춥니다</source>
        <translation>Shows or hides the toolbar</translation>
    </message>
    <message>
        <source>도구 모음 전환</source>
        <translation>Toggle toolbar</translation>
    </message>
    <message>
        <source>상태 표시줄(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>상태 표시줄을 표시하거나 감춥니다</source>
        <translation>Shows or hides the status bar</translation>
    </message>
    <message>
        <source>상태 표시줄 전환</source>
        <translation>Toggle status bar</translation>
    </message>
    <message>
        <source>시간 표시(&amp;I)</source>
        <translation>Show T&amp;imes</translation>
    </message>
    <message>
        <source>수신 데이터 리스트에 수신 시각을 표시하거나 감춥니다</source>
        <translation>Shows or hides the time of reception in the receive list</translation>
    </message>
    <message>
        <source>시간 표시 전환</source>
        <translation>Toggle times</translation>
    </message>
    <message>
        <source>파일(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>동작(&amp;A)</source>
        <translation>&amp;Action</translation>
    </message>
    <message>
        <source>리스트(&amp;L)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>보기(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>도움말(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>준비</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>Events</name>
    <message>
        <source>[Korvex 환경설정 읽기 응답]</source>
        <translation>[Korvex config read reply]</translation>
    </message>
    <message>
        <source>[Korvex 환경설정 쓰기 응답]</source>
        <translation>[Korvex config write reply]</translation>
    </message>
    <message>
        <source>[CAN 데이터 수신 여부 응답]</source>
        <translation>[CAN reception state reply]</translation>
    </message>
    <message>
        <source>[CAN 리셋 응답]</source>
        <translation>[CAN reset reply]</translation>
    </message>
    <message>
        <source>[CAN 에러코드 응답]</source>
        <translation>[CAN error code reply]</translation>
    </message>
    <message>
        <source>[Korvex 버전 응답]</source>
        <translation>[Korvex version reply]</translation>
    </message>
    <message>
        <source>[CAN 데이터 송신 응답]</source>
        <translation>[CAN send reply]</translation>
    </message>
    <message>
        <source>[Korvex 주기 전송 정지]</source>
        <translation>[Korvex cyclic TX stopped]</translation>
    </message>
    <message>
        <source>[Korvex 통신포트 에러]</source>
        <translation>[Korvex port error]</translation>
    </message>
    <message>
        <source>[Korvex 통신에러 발생]</source>
        <translation>[Korvex comms error]</translation>
    </message>
    <message>
        <source>[로그 재생]</source>
        <translation>[Log replay]</translation>
    </message>
    <message>
        <source>[기록 파일]</source>
        <translation>[Recording]</translation>
    </message>
    <message>
        <source>[기록 파일 에러]</source>
        <translation>[Recording error]</translation>
    </message>
    <message>
        <source>[수신데이터 로그파일 에러]</source>
        <translation>[Receive data log error]</translation>
    </message>
    <message>
        <source>[수신데이터 로그동작 중지]</source>
        <translation>[Rx data logging stopped]</translation>
    </message>
    <message>
        <source>[수신데이터 로그파일 보관]</source>
        <translation>[Receive data log kept]</translation>
    </message>
    <message>
        <source>[이벤트 로그파일 에러]</source>
        <translation>[Event log error]</translation>
    </message>
    <message>
        <source>[이벤트 로그 동작 중지]</source>
        <translation>[Event logging stopped]</translation>
    </message>
    <message>
        <source>[이벤트 로그파일 보관]</source>
        <translation>[Event log kept]</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 동작 중</source>
        <translation>CAN reception running</translation>
    </message>
    <message>
        <source>CAN 데이터 수신 중지 중</source>
        <translation>CAN reception stopped</translation>
    </message>
    <message>
        <source> 에러 발생</source>
        <translation> occurred</translation>
    </message>
    <message>
        <source>수신 Error-Passive</source>
        <translation>Rx Error-Passive</translation>
    </message>
    <message>
        <source>송신 Error-Passive</source>
        <translation>Tx Error-Passive</translation>
    </message>
    <message>
        <source>수신 Warning</source>
        <translation>Rx Warning</translation>
    </message>
    <message>
        <source>송신 Warning</source>
        <translation>Tx Warning</translation>
    </message>
    <message>
        <source>버전 %1</source>
        <translation>version %1</translation>
    </message>
    <message>
        <source>수신 ID:</source>
        <translation>Rx ID:</translation>
    </message>
    <message>
        <source>수신 Mask ID:</source>
        <translation>Rx Mask ID:</translation>
    </message>
    <message>
        <source>길이:</source>
        <translation>DLC:</translation>
    </message>
    <message>
        <source>데이터:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>포트를 닫았읍니다</source>
        <translation>the port was closed</translation>
    </message>
    <message>
        <source>통신 포트가 끊어졌읍니다 (장치가 분리됨)</source>
        <translation>the port was disconnected (device removed)</translation>
    </message>
    <message>
        <source>통신 포트가 끊어졌읍니다</source>
        <translation>the port was disconnected</translation>
    </message>
    <message>
        <source>Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다</source>
        <translation>No response from the Korvex module to a command for 1 second</translation>
    </message>
    <message>
        <source>통신에러</source>
        <translation>communication error</translation>
    </message>
    <message>
        <source>수신데이터 로그파일을 여는데 실패했읍니다</source>
        <translation>Failed to open the receive data log file</translation>
    </message>
    <message>
        <source>수신데이터 로그파일에 기록하는데 실패했읍니다</source>
        <translation>Failed to write to the receive data log file</translation>
    </message>
    <message>
        <source>수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다</source>
        <translation>The receive data log file is over 100MB; logging stops</translation>
    </message>
    <message>
        <source>수신데이터 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: </source>
        <translation>The receive data log file is over 100MB; a new file is started. Previous file: </translation>
    </message>
    <message>
        <source>이벤트 로그파일을 여는데 실패했읍니다</source>
        <translation>Failed to open the event log file</translation>
    </message>
    <message>
        <source>이벤트 로그파일에 기록하는데 실패했읍니다</source>
        <translation>Failed to write to the event log file</translation>
    </message>
    <message>
        <source>이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다</source>
        <translation>The event log file is over 100MB; logging stops</translation>
    </message>
    <message>
        <source>이벤트 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: </source>
        <translation>The event log file is over 100MB; a new file is started. Previous file: </translation>
    </message>
    <message>
        <source>기록 파일에 쓰는데 실패하여 기록을 중지합니다 (</source>
        <translation>Writing the recording file failed; recording stops (</translation>
    </message>
    <message>
        <source>기록 파일을 여는데 실패했읍니다 (</source>
        <translation>Failed to open the recording file (</translation>
    </message>
    <message>
        <source>기록을 시작합니다: </source>
        <translation>Recording started: </translation>
    </message>
    <message>
        <source>기록 파일을 닫는데 실패했읍니다 (</source>
        <translation>Failed to close the recording file (</translation>
    </message>
    <message>
        <source>기록을 마쳤읍니다: 프레임 %1개 (</source>
        <translation>Recording finished: %1 frames (</translation>
    </message>
    <message>
        <source>통신 포트가 사라져 기록을 중지합니다 (</source>
        <translation>The port went away; recording stops (</translation>
    </message>
    <message>
        <source>완료: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation>finished: %1 frames sent, %2 skipped, longest delay %3 ms</translation>
    </message>
    <message>
        <source>중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation>stopped: %1 frames sent, %2 skipped, longest delay %3 ms</translation>
    </message>
    <message>
        <source>포트가 닫혀 중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation>stopped, the port closed: %1 frames sent, %2 skipped, longest delay %3 ms</translation>
    </message>
    <message>
        <source>파일이나 디렉터리가 없읍니다</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>접근 권한이 없읍니다</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>허용되지 않은 작업입니다</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>읽기 전용 파일 시스템입니다</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>디스크 공간이 부족합니다</source>
        <translation>No space left on the disk</translation>
    </message>
    <message>
        <source>디스크 사용 한도를 넘었읍니다</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>파일이 너무 큽니다</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>입출력 오류가 났읍니다</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>디렉터리입니다</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>경로 중에 디렉터리가 아닌 것이 있읍니다</source>
        <translation>A part of the path is not a directory</translation>
    </message>
    <message>
        <source>파일 이름이 너무 깁니다</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>심볼릭 링크가 끝없이 이어집니다</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <source>열린 파일이 너무 많읍니다</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>파일이 사용 중입니다</source>
        <translation>File is busy</translation>
    </message>
    <message>
        <source>다른 파일 시스템으로는 옮길 수 없읍니다</source>
        <translation>Cannot move to another file system</translation>
    </message>
    <message>
        <source>장치가 없읍니다</source>
        <translation>No such device</translation>
    </message>
    <message>
        <source>메모리가 부족합니다</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>같은 이름의 파일이 이미 있읍니다</source>
        <translation>A file of that name already exists</translation>
    </message>
    <message>
        <source>잘못된 요청입니다</source>
        <translation>Invalid request</translation>
    </message>
    <message>
        <source>이 파일 시스템에서는 할 수 없는 작업입니다</source>
        <translation>Operation not supported on this file system</translation>
    </message>
    <message>
        <source>파일 핸들이 더 이상 유효하지 않읍니다</source>
        <translation>Stale file handle</translation>
    </message>
    <message>
        <source>시스템 오류 (번호 %1)</source>
        <translation>System error (number %1)</translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (디렉터리)</source>
        <translation>Not a regular file (a directory)</translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (파이프)</source>
        <translation>Not a regular file (a pipe)</translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (장치)</source>
        <translation>Not a regular file (a device)</translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>링크가 가리키는 파일이 없읍니다</source>
        <translation>The link points to no file</translation>
    </message>
    <message>
        <source>디스크에 기록하지 못했읍니다</source>
        <translation>Could not write to the disk</translation>
    </message>
    <message>
        <source>새 파일에 이름을 붙이지 못했읍니다</source>
        <translation>Could not name the new file</translation>
    </message>
    <message>
        <source>파일을 닫지 못했읍니다</source>
        <translation>Could not close the file</translation>
    </message>
    <message>
        <source>파일을 바꾸지 못했읍니다</source>
        <translation>Could not replace the file</translation>
    </message>
    <message>
        <source>새 파일을 만들지 못했읍니다</source>
        <translation>Could not create the new file</translation>
    </message>
    <message>
        <source>쓰지 못했읍니다</source>
        <translation>Could not write</translation>
    </message>
    <message>
        <source>파일을 열지 못했읍니다</source>
        <translation>Could not open the file</translation>
    </message>
    <message>
        <source>저장하는 동안 다른 파일로 바뀌었읍니다</source>
        <translation>The file was replaced by another while saving</translation>
    </message>
    <message>
        <source>공간을 확보하지 못했읍니다</source>
        <translation>Could not reserve the space</translation>
    </message>
    <message>
        <source>송신 파일이 아닙니다 (파일 서명이 다릅니다)</source>
        <translation>Not a transmit file (the file signature differs)</translation>
    </message>
    <message>
        <source>송신 파일이 아닙니다 (목록 이름이 다릅니다)</source>
        <translation>Not a transmit file (the list name differs)</translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (기록된 개수보다 데이터가 적읍니다)</source>
        <translation>The file is damaged (less data than the recorded count)</translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (마지막 항목 전에 파일이 끝납니다)</source>
        <translation>The file is damaged (it ends before the last entry)</translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (송신 주기 블록이 올바르지 않습니다)</source>
        <translation>The file is damaged (the transmit period block is not valid)</translation>
    </message>
    <message>
        <source>지정한 USB 통신 포트를 여는데 실패했읍니다</source>
        <translation>Failed to open the chosen USB port</translation>
    </message>
    <message>
        <source>지정한 시리얼 통신 포트를 여는데 실패했읍니다</source>
        <translation>Failed to open the chosen serial port</translation>
    </message>
    <message>
        <source>모든 주기 송신을 중지했읍니다</source>
        <translation>all cyclic sends were stopped</translation>
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
<context>
    <name>StatusPaneTexts</name>
    <message>
        <source>버린 블록 %1 / 거부한 줄 %2 / 모자란 프레임 %3</source>
        <translation>dropped blocks %1 / refused lines %2 / short frames %3</translation>
    </message>
    <message>
        <source>%1 프레임/초  부하 %2</source>
        <translation>%1 frames/s  load %2</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>OLE DLL을 초기화하는데 실패했읍니다</source>
        <translation>Failed to initialise the OLE DLL</translation>
    </message>
    <message>
        <source>UI DLL을 로드하는데 실패했읍니다</source>
        <translation>Failed to load the UI DLL</translation>
    </message>
    <message>
        <source>이벤트 로그 창</source>
        <translation>Event Log</translation>
    </message>
    <message>
        <source>지정한 USB 통신 포트를 여는데 실패했읍니다</source>
        <translation>Failed to open the chosen USB port</translation>
    </message>
    <message>
        <source>지정한 시리얼 통신 포트를 여는데 실패했읍니다</source>
        <translation>Failed to open the chosen serial port</translation>
    </message>
    <message>
        <source>지정한 통신 포트를 여는데 실패했읍니다</source>
        <translation>Failed to open the chosen port</translation>
    </message>
    <message>
        <source>데이터 입력이 잘못되었읍니다</source>
        <translation>The data entered is not valid</translation>
    </message>
    <message>
        <source>설정한 CAN 전송 데이터가 이미 등록되었읍니다</source>
        <translation>This CAN transmit frame is already in the list</translation>
    </message>
    <message>
        <source>송신 파일 (*.ctd)|*.ctd||</source>
        <translation>Transmit files (*.ctd)|*.ctd||</translation>
    </message>
    <message>
        <source>송신 파일 열기</source>
        <translation>Open Transmit File</translation>
    </message>
    <message>
        <source>송신 파일 저장</source>
        <translation>Save Transmit File</translation>
    </message>
    <message>
        <source>%s 파일이 이미 있읍니다
파일을 덮어 쓰시겠읍니까?</source>
        <translation>%s already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>송신 파일을 저장하는데 실패했읍니다</source>
        <translation>Failed to save the transmit file</translation>
    </message>
    <message>
        <source>송신 파일을 여는데 실패했읍니다</source>
        <translation>Failed to open the transmit file</translation>
    </message>
    <message>
        <source>현재 사용자 PC에 Korvex와 통신할 시리얼 포트가 없거나
USB 포트에 Korvex 모듈이 연결되어 있지 않읍니다</source>
        <translation>This PC has no serial port to talk to Korvex,
or no Korvex module is attached to a USB port</translation>
    </message>
    <message>
        <source>수신 마스크 ID 데이터 입력이 잘못되었읍니다</source>
        <translation>The receive mask ID entered is not valid</translation>
    </message>
    <message>
        <source>수신 ID 데이터 입력이 잘못되었읍니다</source>
        <translation>The receive ID entered is not valid</translation>
    </message>
    <message>
        <source>CAN 비트 타임 데이터 입력이 잘못되었읍니다</source>
        <translation>The CAN bit timing entered is not valid</translation>
    </message>
    <message>
        <source>Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다</source>
        <translation>No response from the Korvex module to a command for 1 second</translation>
    </message>
    <message>
        <source>수신 데이터 로그 파일(*.txt)|*.txt||</source>
        <translation>Receive data log files (*.txt)|*.txt||</translation>
    </message>
    <message>
        <source>수신 데이터 로그 파일 설정</source>
        <translation>Receive Data Log File</translation>
    </message>
    <message>
        <source>이벤트 로그 파일(*.txt)|*.txt||</source>
        <translation>Event log files (*.txt)|*.txt||</translation>
    </message>
    <message>
        <source>이벤트 로그 파일 설정</source>
        <translation>Event Log File</translation>
    </message>
    <message>
        <source>이벤트 로그 파일 경로 설정이 잘못되었읍니다</source>
        <translation>The event log file path is not valid</translation>
    </message>
    <message>
        <source>수신 데이터 로그 파일 경로 설정이 잘못되었읍니다</source>
        <translation>The receive data log file path is not valid</translation>
    </message>
    <message>
        <source>송신 데이터 목록이 변경되었읍니다
변경된 내용을 파일에 저장하시겠읍니까?</source>
        <translation>The transmit list has changed.
Do you want to save the changes to a file?</translation>
    </message>
    <message>
        <source>DBC 파일 (*.dbc)|*.dbc||</source>
        <translation>DBC files (*.dbc)|*.dbc||</translation>
    </message>
    <message>
        <source>DBC 열기</source>
        <translation>Open DBC</translation>
    </message>
    <message>
        <source>DBC 파일을 읽는데 실패했읍니다</source>
        <translation>Failed to read the DBC file</translation>
    </message>
    <message>
        <source>환경 설정을 저장하는데 실패했읍니다</source>
        <translation>Failed to save the settings</translation>
    </message>
    <message>
        <source>로그 파일을 여는데 실패했읍니다</source>
        <translation>Failed to open the log file</translation>
    </message>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>프레임</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>송신 ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>데이터 길이</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>송신 데이터</source>
        <translation>Data</translation>
    </message>
</context>
</TS>
