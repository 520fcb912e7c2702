#include "monitor/ports/port_records.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>

#include "monitor/ports/ntrip_protocol.h"

namespace
{
void CopyText(char* pDest, size_t nCapacity, const char* pText)
{
    std::strncpy(pDest, pText, nCapacity - 1);
    pDest[nCapacity - 1] = '\0';
}
} // namespace

void NtripSetDefaultConfig(NTRIP_CONFIG_T* pConfig)
{
    std::memset(pConfig, 0, sizeof(*pConfig));
    pConfig->Enable = 1;
    CopyText(pConfig->ServerName, sizeof(pConfig->ServerName), "192.168.1.200");
    pConfig->Port = 2101;
    CopyText(pConfig->MountPoint, sizeof(pConfig->MountPoint), "BJNR0");
    CopyText(pConfig->User, sizeof(pConfig->User), "user0");
    CopyText(pConfig->Password, sizeof(pConfig->Password), "kiwe7");
    CopyText(pConfig->Agent, sizeof(pConfig->Agent), "ZorvikMonitor");
    CopyText(pConfig->Version, sizeof(pConfig->Version), "2.0");
    pConfig->Mode = 5;
    pConfig->PositionTime = -1000;
}

int NtripResolveServerName(const char* pServerName, uint32_t* pAddress)
{
    char name[sizeof(NTRIP_CONFIG_T::ServerName)];
    CopyText(name, sizeof(name), pServerName);

    in_addr addr{};
    if (inet_pton(AF_INET, name, &addr) == 1)
    {
        *pAddress = ntohl(addr.s_addr);
        return NTRIP_OK;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pList = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &pList) != 0)
    {
        return NTRIP_RESOLVE_FAILED;
    }
    int result = NTRIP_NO_ADDRESS;
    for (const addrinfo* p = pList; p != nullptr; p = p->ai_next)
    {
        if (p->ai_family == AF_INET && p->ai_addr != nullptr)
        {
            *pAddress = ntohl(reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr);
            result = NTRIP_OK;
            break;
        }
    }
    freeaddrinfo(pList);
    return result;
}
