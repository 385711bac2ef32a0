// A minimal X session manager (XSMP over ICE) for tests. Listens on the local transport only,
// prints SESSION_MANAGER=<address> on stdout, then reports every client message as one line and
// obeys commands read from stdin:
//   shutdown   ask every client to save for a shut-down with any interaction allowed
//   quit       end
// Reports: registered, interact-request, interact-done cancel=N, save-done success=N,
// shutdown-cancelled, die, closed. It ends by itself after two minutes or when stdin closes.

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int _IceTransNoListen(const char *protocol);

namespace {

struct Client
{
    SmsConn conn = nullptr;
    bool cancelled = false;
    bool shuttingDown = false;
};

std::vector<IceConn> connections;
std::vector<Client *> clients;

void report(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

Client *clientOf(SmPointer data)
{
    return static_cast<Client *>(data);
}

Status registerClient(SmsConn conn, SmPointer, char *previousId)
{
    char *id = SmsGenerateClientID(conn);
    const Status ok = SmsRegisterClientReply(conn, id);
    std::free(id);
    std::free(previousId);
    report("registered");
    return ok;
}

void interactRequest(SmsConn conn, SmPointer, int)
{
    report("interact-request");
    SmsInteract(conn);
}

void interactDone(SmsConn conn, SmPointer data, Bool cancelShutdown)
{
    Client *client = clientOf(data);
    std::printf("interact-done cancel=%d\n", cancelShutdown ? 1 : 0);
    std::fflush(stdout);
    if (cancelShutdown && client->shuttingDown) {
        client->cancelled = true;
        SmsShutdownCancelled(conn);
        report("shutdown-cancelled");
    }
}

void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

void saveYourselfPhase2Request(SmsConn conn, SmPointer)
{
    SmsSaveYourselfPhase2(conn);
}

void saveYourselfDone(SmsConn conn, SmPointer data, Bool success)
{
    Client *client = clientOf(data);
    std::printf("save-done success=%d\n", success ? 1 : 0);
    std::fflush(stdout);
    if (client->shuttingDown && !client->cancelled) {
        SmsDie(conn);
        report("die");
    }
    client->shuttingDown = false;
    client->cancelled = false;
}

void closeConnection(SmsConn conn, SmPointer data, int count, char **reasons)
{
    SmFreeReasons(count, reasons);
    Client *client = clientOf(data);
    std::erase(clients, client);
    delete client;
    SmsCleanUp(conn);
    report("closed");
}

void setProperties(SmsConn, SmPointer, int count, SmProp **props)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(props[i]);
    std::free(props);
}

void deleteProperties(SmsConn, SmPointer, int count, char **names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void getProperties(SmsConn conn, SmPointer)
{
    SmsReturnProperties(conn, 0, nullptr);
}

Status newClient(SmsConn conn, SmPointer, unsigned long *mask, SmsCallbacks *callbacks,
                 char **failureReason)
{
    *failureReason = nullptr;
    auto *client = new Client;
    client->conn = conn;
    clients.push_back(client);
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask
        | SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask
        | SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    callbacks->register_client = {registerClient, client};
    callbacks->interact_request = {interactRequest, client};
    callbacks->interact_done = {interactDone, client};
    callbacks->save_yourself_request = {saveYourselfRequest, client};
    callbacks->save_yourself_phase2_request = {saveYourselfPhase2Request, client};
    callbacks->save_yourself_done = {saveYourselfDone, client};
    callbacks->close_connection = {closeConnection, client};
    callbacks->set_properties = {setProperties, client};
    callbacks->delete_properties = {deleteProperties, client};
    callbacks->get_properties = {getProperties, client};
    return 1;
}

Bool trustLocalHost(char *)
{
    return True;
}

void ignoreIoError(IceConn) {}

void shutdownAll()
{
    for (Client *client : clients) {
        client->shuttingDown = true;
        client->cancelled = false;
        SmsSaveYourself(client->conn, SmSaveBoth, True, SmInteractStyleAny, False);
    }
}

} // namespace

int main()
{
    char error[256] = {};
    if (!SmsInitialize("lims-test", "1.0", newClient, nullptr, trustLocalHost, sizeof error, error)) {
        std::fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    IceSetIOErrorHandler(ignoreIoError);
    // A Unix socket only: nothing listens on the network.
    _IceTransNoListen("tcp");
    _IceTransNoListen("inet");
    _IceTransNoListen("inet6");
    int listenCount = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error) || listenCount == 0) {
        std::fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < listenCount; ++i)
        IceSetHostBasedAuthProc(listeners[i], trustLocalHost);
    char *address = IceComposeNetworkIdList(listenCount, listeners);
    std::printf("SESSION_MANAGER=%s\n", address);
    std::fflush(stdout);
    std::free(address);

    const std::time_t deadline = std::time(nullptr) + 120;
    std::string input;
    while (std::time(nullptr) < deadline) {
        std::vector<pollfd> fds{{STDIN_FILENO, POLLIN, 0}};
        for (int i = 0; i < listenCount; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn conn : connections)
            fds.push_back({IceConnectionNumber(conn), POLLIN, 0});
        if (poll(fds.data(), fds.size(), 500) <= 0)
            continue;

        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char buffer[256];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0)
                break;
            input.append(buffer, static_cast<size_t>(got));
            for (size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1)) {
                const std::string command = input.substr(0, end);
                if (command == "shutdown")
                    shutdownAll();
                else if (command == "quit")
                    return 0;
            }
        }
        for (int i = 0; i < listenCount; ++i) {
            if (!(fds[1 + i].revents & POLLIN))
                continue;
            IceAcceptStatus status;
            if (IceConn conn = IceAcceptConnection(listeners[i], &status))
                connections.push_back(conn);
        }
        const std::vector<IceConn> current = connections;
        for (size_t i = 0; i < current.size(); ++i) {
            if (!(fds[1 + listenCount + i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            IceConn conn = current[i];
            const bool pending = IceConnectionStatus(conn) == IceConnectPending;
            const IceProcessMessagesStatus result = IceProcessMessages(conn, nullptr, nullptr);
            if (result == IceProcessMessagesConnectionClosed) {
                std::erase(connections, conn);
                continue;
            }
            const IceConnectStatus now = IceConnectionStatus(conn);
            if (result == IceProcessMessagesSuccess
                && (now == IceConnectAccepted || (pending && now == IceConnectPending)))
                continue;
            IceSetShutdownNegotiation(conn, False);
            IceCloseConnection(conn);
            std::erase(connections, conn);
        }
    }
    return 0;
}
