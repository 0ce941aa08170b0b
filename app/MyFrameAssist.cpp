// Device-side remote assistance: the panel connection relayed to a remote operator through the proxy.
#include "app/MyFrame.h"

#include <wx/socket.h>

// Not built yet: the commands do nothing.
void MyFrame::OnRemoteAssist(wxCommandEvent&) {}
void MyFrame::OnAssistCancel(wxCommandEvent&) {}
void MyFrame::OnProxySocket(wxSocketEvent&) {}
void MyFrame::ForwardToProxy(const ByteBuffer*) {}
