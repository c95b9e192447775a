/*
 * The texts the wizard's windows show, English and Korean, as the tests
 * expect them: the pages, the status window, the messages the pages raise
 * and the final page.  Shared by the Win32 and end-to-end tests (UTF-8).
 */
#ifndef SETUP_TEST_PAGE_TEXTS_H
#define SETUP_TEST_PAGE_TEXTS_H

namespace pagetext
{

struct Text
{
    const char *english;
    const char *korean;
};

/* The templates' own texts. */
inline constexpr Text kWizardCaption = {"Tarvik Printer Driver Install Wizard",
                                        "Tarvik 프린터 드라이버 설치 마법사"};
inline constexpr Text kWelcomeSentence = {
    " Welcome to the Install Wizard for QXV Driver. To continue, click Next.",
    " Tarvik 프린터 드라이버 설치를 시작합니다.  계속 하려면 \"다음\" 버튼을 누르십시오."};
inline constexpr Text kModelInstruction = {
    " Select printer model to install. To continue, click Next.",
    " 목록에서 설치할 프린터 모델을 선택하시고, \"다음\" 버튼을 누르십시오."};
inline constexpr Text kModelLabel = {"Printer &Models:", "프린터 모델(&M):"};
inline constexpr Text kPortInstruction = {
    " Select the port connected to printer. To continue, click Next.",
    " 프린터가 연결된 포트를 지정합니다.\n목록에서 포트를 선택한 후, \"다음\" 버튼을 누르십시오."};
inline constexpr Text kPortLabel = {"Printer &Ports:", "연결할 포트(&P):"};
inline constexpr Text kSetDefault = {"Set as &default printer", "기본 프린터로 설정합니다.(&D)"};
inline constexpr Text kNext = {"Next", "다음"};
inline constexpr Text kBack = {"&Back", "이전(&B)"};
inline constexpr Text kCancel = {"&Cancel", "취소(&C)"};
inline constexpr Text kOk = {"&Ok", "확인(&O)"};

/* The string table's texts the windows show. */
inline constexpr Text kStatusReading = {"Reading setup information...",
                                        "설치 정보를 읽고 있습니다..."};
inline constexpr Text kStatusWriting = {"Writing system information...",
                                        "시스템 정보를 수정하고 있습니다..."};
inline constexpr Text kQuestionTitle = {"Question", "질문"};
inline constexpr Text kConfirmCancel = {"Are you sure you want to cancel QXV driver installation?",
                                        "프린터 드라이버 설치를 종료하시겠습니까?"};
inline constexpr Text kWarningTitle = {"Warinig", "경고"};
inline constexpr Text kSelectModel = {"Select printer model to install.",
                                      "먼저 설치할 프린터 모델을 선택하십시오."};
inline constexpr Text kSelectPort = {"Select printer port to connect.",
                                     "먼저 포트를 선택하십시오."};
inline constexpr Text kInstallDone = {"The Installation has done successfully.",
                                      "설치가 완료되었습니다."};
inline constexpr Text kInstallFailed = {"The Installation has failed.", "설치를 중지합니다."};
inline constexpr Text kCopyCaption = {"Copying Files...", "파일 복사 중..."};
inline constexpr Text kErrorTitle = {"Error", "오류"};
inline constexpr Text kFileOpenError = {"File open error.", "파일이 없습니다."};
inline constexpr Text kDiskFullError = {"Insufficient disk space.",
                                        "설치할 디스크 공간이 부족합니다."};

/* The profile's texts: the final page's caption, the caption of the
 * message that the driver is in use, and the welcome page's supported
 * systems of the Windows 7 and the Vista builds. */
inline constexpr Text kFinalCaption = {"Printer Driver Setup", "프린터 드라이버 설치"};
inline constexpr Text kSetupErrorCaption = {"Setup error", "설치 오류"};
inline constexpr Text kWelcomeWin7 = {
    "Supported operating system:\r\n"
    "\tWindows 7 Home x86\r\n"
    "\tWindows 7 Professional x86\r\n"
    "\tWindows 7 Ultimate x86\r\n"
    "\r\n"
    "Terminate all running applications before installing driver.",
    "사용 가능한 운영체제:\r\n"
    "\tWindows 7 Home x86\r\n"
    "\tWindows 7 Professional x86\r\n"
    "\tWindows 7 Ultimate x86\r\n"
    "\r\n"
    "드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오."};
inline constexpr Text kWelcomeVista = {
    "Supported operating system:\r\n"
    "\tWindows Vista Home Basic x86\r\n"
    "\tWindows Vista Home Premium x86\r\n"
    "\tWindows Vista Enterprise x86\r\n"
    "\tWindows Vista Business x86\r\n"
    "\tWindows Vista Ultimate x86\r\n"
    "\tWindows Vista Starter x86\r\n"
    "\r\n"
    "Terminate all running applications before installing driver.",
    "사용 가능한 운영체제:\r\n"
    "\tWindows Vista Home Basic x86\r\n"
    "\tWindows Vista Home Premium x86\r\n"
    "\tWindows Vista Enterprise x86\r\n"
    "\tWindows Vista Business x86\r\n"
    "\tWindows Vista Ultimate x86\r\n"
    "\tWindows Vista Starter x86\r\n"
    "\r\n"
    "드라이버를 설치하기 전에 사용중인 응용 프로그램을 모두 종료하십시오."};

} // namespace pagetext

#endif
