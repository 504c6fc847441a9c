# The HTTP client and the form posts, against scripted servers and
# Debian's nginx and tinyproxy.
add_library(korvel_web_http_testsupport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WebServerConfigs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HttpConnectorTestSupport.cpp)
target_link_libraries(korvel_web_http_testsupport PUBLIC korvel_web_http korvel_web_testsupport)

korvel_add_test(web_http_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/HttpProtFunctionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HttpCliTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HttpNginxTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HttpConnectorTest.cpp
  LIBS korvel_web_http_testsupport)

# These build a connector of their own for each proxy store, so they keep
# away from the process-wide one of PostHTTPRequest.
korvel_add_test(web_http_proxy_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HttpProxyTest.cpp
  LIBS korvel_web_http_testsupport)
