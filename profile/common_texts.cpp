/*
 * Definitions of the build-independent texts (see common_texts.h).
 */
#include "common_texts.h"

const char kEnvironmentX86[] = "Windows NT x86";
const char kEnvironmentX64[] = "Windows x64";
const char kUnsupportedText[] = "This Driver is not supported on this Operating System.";
const char kUnsupportedCaption[] = "Install Error";
const char kAddDriverErrorFormat[] = "Cannot add a printer driver!\r\n(System Error Code : %d)";
const char kAddDriverErrorCaption[] = "Add a printer error ";
const char kPutBackErrorText[] = "Cannot put back what the setup removed!";
const char kPutBackLineFormat[] = "\r\n%s \"%s\" (System Error Code : %d)";
const char kPutBackDriver[] = "Driver";
const char kPutBackPrinter[] = "Printer";
const char kPutBackPrinterData[] = "Printer data of";
const char kPutBackDefaultPrinter[] = "Default printer";
const char kPutBackMore[] = "\r\n...";
const char kDriverPath[] = "UNIDRV.DLL";
const char kConfigFile[] = "UNIDRVUI.DLL";
const char kHelpFile[] = "UNIDRV.HLP";
const char kPrintProcessor[] = "WinPrint";
const char kKeyCopyFiles[] = "CopyFiles";
const char kKeyDataSection[] = "DataSection";
const char kKeyDefaultDataType[] = "DefaultDataType";
const char kDefaultDataType[] = "RAW";
const char kPortFile[] = "FILE:";
const char kPortCom1[] = "COM1:";
const char kPortInfraredPrefix[] = "IR";
const char kPercentFormat[] = "%d %%";
const char kCurrentFolder[] = ".\\";
const char kProfileSectionWindows[] = "windows";
const char kProfileKeyDevice[] = "device";
const char kEmptyString[] = "";
