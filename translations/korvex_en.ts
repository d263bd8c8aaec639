<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko_KR">
<context>
    <name>Events</name>
    <message>
        <source>[Korvex 환경설정 읽기 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Korvex 환경설정 쓰기 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[CAN 데이터 수신 여부 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[CAN 리셋 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[CAN 에러코드 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Korvex 버전 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[CAN 데이터 송신 응답]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Korvex 주기 전송 정지]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Korvex 통신포트 에러]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Korvex 통신에러 발생]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[로그 재생]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[기록 파일]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[기록 파일 에러]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[수신데이터 로그파일 에러]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[수신데이터 로그동작 중지]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[수신데이터 로그파일 보관]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[이벤트 로그파일 에러]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[이벤트 로그 동작 중지]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[이벤트 로그파일 보관]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CAN 데이터 수신 동작 중</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CAN 데이터 수신 중지 중</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 에러 발생</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신 Error-Passive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>송신 Error-Passive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신 Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>송신 Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>버전 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신 ID:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신 Mask ID:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>길이:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>데이터:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>포트를 닫았읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>통신 포트가 끊어졌읍니다 (장치가 분리됨)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>통신 포트가 끊어졌읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>통신에러</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신데이터 로그파일을 여는데 실패했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신데이터 로그파일에 기록하는데 실패했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>수신데이터 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>이벤트 로그파일을 여는데 실패했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>이벤트 로그파일에 기록하는데 실패했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>이벤트 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>기록 파일에 쓰는데 실패하여 기록을 중지합니다 (</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>기록 파일을 여는데 실패했읍니다 (</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>기록을 시작합니다: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>기록 파일을 닫는데 실패했읍니다 (</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>기록을 마쳤읍니다: 프레임 %1개 (</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>통신 포트가 사라져 기록을 중지합니다 (</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>완료: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>포트가 닫혀 중지: 보낸 프레임 %1, 건너뛴 프레임 %2, 최대 지연 %3 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이나 디렉터리가 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>접근 권한이 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>허용되지 않은 작업입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>읽기 전용 파일 시스템입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>디스크 공간이 부족합니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>디스크 사용 한도를 넘었읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이 너무 큽니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>입출력 오류가 났읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>디렉터리입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>경로 중에 디렉터리가 아닌 것이 있읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일 이름이 너무 깁니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>심볼릭 링크가 끝없이 이어집니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>열린 파일이 너무 많읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이 사용 중입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>다른 파일 시스템으로는 옮길 수 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>장치가 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>메모리가 부족합니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>같은 이름의 파일이 이미 있읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>잘못된 요청입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>이 파일 시스템에서는 할 수 없는 작업입니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일 핸들이 더 이상 유효하지 않읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>시스템 오류 (번호 %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (디렉터리)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (파이프)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다 (장치)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>링크가 가리키는 파일이 없읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>디스크에 기록하지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>새 파일에 이름을 붙이지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일을 닫지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일을 바꾸지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>새 파일을 만들지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>쓰지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일을 열지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>저장하는 동안 다른 파일로 바뀌었읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>공간을 확보하지 못했읍니다</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>송신 파일이 아닙니다 (파일 서명이 다릅니다)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>송신 파일이 아닙니다 (목록 이름이 다릅니다)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (기록된 개수보다 데이터가 적읍니다)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (마지막 항목 전에 파일이 끝납니다)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일이 손상되었읍니다 (송신 주기 블록이 올바르지 않습니다)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
