// CNestedReply: the record of one request that waits for its reply.
#ifndef QUILLNTC_PROTOCOL_CNESTEDREPLY_H
#define QUILLNTC_PROTOCOL_CNESTEDREPLY_H

#endif
