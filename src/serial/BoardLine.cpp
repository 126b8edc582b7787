#include "BoardLine.h"

#include "ComPort.h"

namespace quorvel::serial {

void SetBoardLineSettings(TCustomComPort& port) {
    port.SetDataBits(dbEight);
    port.Parity()->SetBits(prNone);
    port.SetStopBits(sbOneStopBit);
    port.Buffer()->SetInputSize(2048);
    port.Buffer()->SetOutputSize(2048);
    TComFlowControl& flow = *port.FlowControl();
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(true);
    flow.SetXonXoffIn(true);
}

} // namespace quorvel::serial
