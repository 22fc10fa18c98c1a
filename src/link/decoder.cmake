# The receiving end of the link: stream framing, scheme and page decoders.
list(APPEND LINK_CORE
  decode_problem.cpp
  packet_stream.cpp
  scheme_decoder.cpp
  page_decoder.cpp
  link_receiver.cpp)
