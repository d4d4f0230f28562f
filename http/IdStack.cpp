#include "http/IdStack.h"

#include <cstring>

#include "http/IdException.h"
#include "http/IdGlobal.h"

TIdStack* GStack = nullptr;

std::string TIdStack::ResolveHost(const std::string& AHost) {
  if (TextIsSame(AHost, "LOCALHOST")) return "127.0.0.1";
  if (IsIP(AHost)) return AHost;
  std::string ip = WSGetHostByName(AHost);
  if (ip.empty()) RaiseSocketError(WSGetLastError());
  return ip;
}

bool TIdStack::IsIP(const std::string& AIP) {
  std::string s = AIP;
  for (int i = 0; i < 4; ++i) {
    std::string part = i < 3 ? CutToken(s, ".") : s;
    int32_t v = StrToIntDef(part, -1);
    if (v < 0 || v > 255) return false;
  }
  return true;
}

vxsock::TInAddr TIdStack::TranslateStringToTInAddr(const std::string& AIP) {
  std::string s = AIP;
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(StrToInt(i < 3 ? CutToken(s, ".") : s));
  vxsock::TInAddr a;
  std::memcpy(&a.S_addr, b, 4);
  return a;
}

std::string TIdStack::TranslateTInAddrToString(const vxsock::TInAddr& AInAddr) {
  uint8_t b[4];
  std::memcpy(b, &AInAddr.S_addr, 4);
  return IdFormat("%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}

bool TIdStack::CheckForSocketError(int32_t AResult, std::initializer_list<int32_t> AIgnore) {
  if (AResult != Id_SOCKET_ERROR) return false;
  FLastError = WSGetLastError();
  for (int32_t code : AIgnore)
    if (code == FLastError) return true;
  RaiseSocketError(FLastError);
}

void TIdStack::RaiseSocketError(int32_t AErr) {
  FLastError = AErr;
  throw EIdSocketError(AErr, IdFormat(RSStackError, AErr, WSTranslateSocketErrorMsg(AErr).c_str()));
}

std::string TIdStack::WSTranslateSocketErrorMsg(int32_t AErr) {
  switch (AErr) {
    case 10004:
      return RSStackEINTR;
    case 10009:
      return RSStackEBADF;
    case 10013:
      return RSStackEACCES;
    case 10014:
      return RSStackEFAULT;
    case 10022:
      return RSStackEINVAL;
    case 10024:
      return RSStackEMFILE;
    case 10035:
      return RSStackEWOULDBLOCK;
    case 10036:
      return RSStackEINPROGRESS;
    case 10037:
      return RSStackEALREADY;
    case 10038:
      return RSStackENOTSOCK;
    case 10039:
      return RSStackEDESTADDRREQ;
    case 10040:
      return RSStackEMSGSIZE;
    case 10041:
      return RSStackEPROTOTYPE;
    case 10042:
      return RSStackENOPROTOOPT;
    case 10043:
      return RSStackEPROTONOSUPPORT;
    case 10044:
      return RSStackESOCKTNOSUPPORT;
    case 10045:
      return RSStackEOPNOTSUPP;
    case 10046:
      return RSStackEPFNOSUPPORT;
    case 10047:
      return RSStackEAFNOSUPPORT;
    case 10048:
      return RSStackEADDRINUSE;
    case 10049:
      return RSStackEADDRNOTAVAIL;
    case 10050:
      return RSStackENETDOWN;
    case 10051:
      return RSStackENETUNREACH;
    case 10052:
      return RSStackENETRESET;
    case 10053:
      return RSStackECONNABORTED;
    case 10054:
      return RSStackECONNRESET;
    case 10055:
      return RSStackENOBUFS;
    case 10056:
      return RSStackEISCONN;
    case 10057:
      return RSStackENOTCONN;
    case 10058:
      return RSStackESHUTDOWN;
    case 10059:
      return RSStackETOOMANYREFS;
    case 10060:
      return RSStackETIMEDOUT;
    case 10061:
      return RSStackECONNREFUSED;
    case 10062:
      return RSStackELOOP;
    case 10063:
      return RSStackENAMETOOLONG;
    case 10064:
      return RSStackEHOSTDOWN;
    case 10065:
      return RSStackEHOSTUNREACH;
    case 10066:
      return RSStackENOTEMPTY;
    case 11001:
      return RSStackHOST_NOT_FOUND;
    default:
      return {};
  }
}
